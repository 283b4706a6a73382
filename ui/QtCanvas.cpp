#include "ui/QtCanvas.h"

#include "engine/NumberText.h"

#include <QBrush>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

namespace psykrona {

namespace {

QColor ToQColor(TColor C) {
    return QColor(C.R, C.G, C.B);
}

// Lines of odd width are centred on pixel centres and lines of even width on
// pixel borders, so that straight lines of any width cover whole pixels.
double PixelOffset(int Width) {
    return Width % 2 != 0 ? 0.5 : 0.0;
}

int PenPixels(int Width) {
    return std::max(1, Width);
}

// Ascent and descent of a family as fractions of its em, measured once at
// a large size where no hinting rounds them.
struct TFamilyMetrics {
    double Ascent = 0.9;
    double Descent = 0.2;
};

const TFamilyMetrics& MetricsOf(const QString& Family) {
    static std::map<QString, TFamilyMetrics> Known;
    auto It = Known.find(Family);
    if (It == Known.end()) {
        QFont F(Family);
        F.setPixelSize(2048);
        const QFontMetricsF M(F);
        TFamilyMetrics Fm;
        if (M.ascent() + M.descent() > 0) {
            Fm.Ascent = M.ascent() / 2048;
            Fm.Descent = M.descent() / 2048;
        }
        It = Known.emplace(Family, Fm).first;
    }
    return It->second;
}

} // namespace

TQtCanvas::TQtCanvas(QPaintDevice& Device) {
    FOwnPainter.emplace(&Device);
    FPainter = &*FOwnPainter;
    Init();
}

TQtCanvas::TQtCanvas(QPainter& Painter) : FPainter(&Painter) {
    FPainter->save();
    Init();
}

TQtCanvas::~TQtCanvas() {
    if (FOwnPainter) {
        FOwnPainter->end();
    } else {
        FPainter->restore();
    }
}

void TQtCanvas::Init() {
    if (!FPainter->isActive()) {
        throw std::runtime_error("The drawing surface cannot be painted on");
    }
    FDevice = FPainter->device();
    FRaster = FPainter->paintEngine() != nullptr && FPainter->paintEngine()->type() == QPaintEngine::Raster;
    FPainter->setRenderHint(QPainter::Antialiasing, true);
    FPainter->setRenderHint(QPainter::TextAntialiasing, true);
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QString TQtCanvas::FamilyOf(const std::string& Face) {
    // The Liberation faces share the metrics of the Windows core fonts that
    // layouts name.
    if (Face == "Arial") {
        return QStringLiteral("Liberation Sans");
    }
    if (Face == "Times New Roman") {
        return QStringLiteral("Liberation Serif");
    }
    if (Face == "Courier New") {
        return QStringLiteral("Liberation Mono");
    }
    return QString::fromStdString(Face);
}

void TQtCanvas::UpdateFont() {
    if (FFontMade && FMadeFor == FFont) {
        return;
    }
    const QString Family = FamilyOf(FFont.Face);
    const TFamilyMetrics& Fm = MetricsOf(Family);
    const double Cell = std::max(1, FFont.Height);
    // The em that gives ascent + descent = the cell height. Qt makes fonts
    // in whole pixels only, so the nearest whole size is drawn and measured
    // scaled by the rest.
    const double Em = Cell / (Fm.Ascent + Fm.Descent);
    const int Pixels = std::max(1, static_cast<int>(Round(Em)));
    FScale = Em / Pixels;
    FQFont = QFont(Family);
    FQFont.setPixelSize(Pixels);
    FQFont.setWeight(
        static_cast<QFont::Weight>(FFont.Weight == 0 ? 400 : std::clamp(FFont.Weight, 100, 900)));
    FQFont.setItalic(false);
    FQFont.setUnderline(false);
    FQFont.setStrikeOut(false);
    FQFont.setKerning(false);
    // Design advances, not ones rounded to whole pixels: texts then keep
    // their measured widths at every size and angle, on screen and paper.
    FQFont.setHintingPreference(QFont::PreferNoHinting);
    FMetrics = std::make_unique<QFontMetricsF>(FQFont, FDevice);
    FAscent = Cell * Fm.Ascent / (Fm.Ascent + Fm.Descent);
    FMadeFor = FFont;
    FFontMade = true;
}

const QFont& TQtCanvas::CurrentQFont() {
    UpdateFont();
    return FQFont;
}

void TQtCanvas::ApplyPen() {
    QPen Pen(ToQColor(FPenColor), PenPixels(FPenWidth), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    FPainter->setPen(Pen);
}

void TQtCanvas::ApplyBrush() {
    if (FFillStyle == TFillStyle::Solid) {
        FPainter->setBrush(QBrush(ToQColor(FFillColor)));
    } else {
        FPainter->setBrush(Qt::NoBrush);
    }
}

void TQtCanvas::LineTo(int X, int Y) {
    ApplyPen();
    const double O = PixelOffset(PenPixels(FPenWidth));
    const QPointF From(FPenPos.X + O, FPenPos.Y + O);
    const QPointF To(X + O, Y + O);
    // Qt's raster engine spends time in proportion to the area of an
    // antialiased line's bounding box: one slanted line across a 600 dpi
    // page takes some 15 ms. Such a line is drawn in pieces of small boxes.
    // Vector devices get it whole.
    const double Box = std::min(std::abs(To.x() - From.x()), std::abs(To.y() - From.y()));
    const int Pieces = FRaster && Box > 256 ? static_cast<int>(std::ceil(Box / 128)) : 1;
    const QPointF Step = (To - From) / Pieces;
    // Pieces that merely met would leave a lighter seam where their
    // antialiased ends share pixels; each reaches half a pen width into the
    // next.
    QPointF Reach;
    if (Pieces > 1) {
        Reach = Step * (PenPixels(FPenWidth) / 2.0 / std::hypot(Step.x(), Step.y()));
    }
    for (int I = 0; I < Pieces; ++I) {
        FPainter->drawLine(From + Step * I - (I > 0 ? Reach : QPointF()),
                           From + Step * (I + 1) + (I + 1 < Pieces ? Reach : QPointF()));
    }
    FPenPos = {X, Y};
}

void TQtCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    ApplyPen();
    ApplyBrush();
    const double O = PixelOffset(PenPixels(FPenWidth));
    // The outline runs through the outermost pixels of the box.
    FPainter->drawEllipse(QRectF(X1 + O, Y1 + O, X2 - X1 - 1, Y2 - Y1 - 1));
}

void TQtCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    ApplyPen();
    ApplyBrush();
    const double O = PixelOffset(PenPixels(FPenWidth));
    FPainter->drawRect(QRectF(X1 + O, Y1 + O, X2 - X1 - 1, Y2 - Y1 - 1));
}

void TQtCanvas::TextOut(int X, int Y, const std::string& Text) {
    UpdateFont();
    const QString S = QString::fromStdString(Text);
    FPainter->save();
    FPainter->translate(X, Y);
    // Qt turns clockwise on a y-down device; the font's angle is counter-
    // clockwise.
    FPainter->rotate(-FFont.Angle);
    if (FFillStyle == TFillStyle::Solid) {
        FPainter->fillRect(QRectF(0, 0, FMetrics->horizontalAdvance(S) * FScale, std::max(1, FFont.Height)),
                           ToQColor(FFillColor));
    }
    FPainter->scale(FScale, FScale);
    FPainter->setFont(FQFont);
    FPainter->setPen(Qt::black);
    FPainter->drawText(QPointF(0, FAscent / FScale), S);
    FPainter->restore();
}

int TQtCanvas::TextWidth(const std::string& Text) {
    UpdateFont();
    return static_cast<int>(Round(FMetrics->horizontalAdvance(QString::fromStdString(Text)) * FScale));
}

int TQtCanvas::TextHeight(const std::string&) {
    return std::max(1, FFont.Height);
}

void TQtCanvas::StretchDraw(const TRect& Rect, const TPicture& Picture) {
    if (Picture.IsEmpty()) {
        return;
    }
    if (Picture.Rgb.size() < static_cast<size_t>(Picture.Width) * static_cast<size_t>(Picture.Height) * 3) {
        throw std::runtime_error("The picture's pixel data is incomplete");
    }
    const QImage Image(Picture.Rgb.data(), Picture.Width, Picture.Height, Picture.Width * 3,
                       QImage::Format_RGB888);
    FPainter->drawImage(QRectF(Rect.Left, Rect.Top, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top), Image);
}

} // namespace psykrona
