#include "qt/QtCanvas.h"

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

void TQtCanvas::ApplyPen(Qt::PenCapStyle Cap) {
    QPen Pen(ToQColor(FPenColor), PenPixels(FPenWidth), Qt::SolidLine, Cap, Qt::RoundJoin);
    FPainter->setPen(Pen);
}

// Round ends can be copied as pixels when the painter draws on pixels with
// at most a whole-pixel shift: every end then sits at the same place within
// its pixel. On a scaled screen a copy would be enlarged and blurred, so
// there Qt draws them. The transform to device pixels counts the pixel ratio
// of the device actually drawn on: a widget drawn into a picture of twice its
// screen's density is such a case.
bool TQtCanvas::CanStampEnds() const {
    const QTransform& T = FPainter->deviceTransform();
    return FRaster && T.type() <= QTransform::TxTranslate && T.dx() == std::floor(T.dx()) &&
           T.dy() == std::floor(T.dy());
}

// A disc of the pen's width and colour centred where a line of that pen
// ends at (X, Y), as the round cap would draw it.
void TQtCanvas::StampEnd(int X, int Y) {
    const int Width = PenPixels(FPenWidth);
    if (FEndStamp.isNull() || FStampWidth != Width || !(FStampColor == FPenColor)) {
        const int Size = Width + 2;
        FEndStamp = QImage(Size, Size, QImage::Format_ARGB32_Premultiplied);
        FEndStamp.fill(Qt::transparent);
        QPainter Stamp(&FEndStamp);
        Stamp.setRenderHint(QPainter::Antialiasing, true);
        Stamp.setPen(Qt::NoPen);
        Stamp.setBrush(ToQColor(FPenColor));
        Stamp.drawEllipse(QPointF(Size / 2.0, Size / 2.0), Width / 2.0, Width / 2.0);
        FStampWidth = Width;
        FStampColor = FPenColor;
    }
    // The line ends at X + PixelOffset(Width) and the disc's centre lies at
    // Width / 2.0 + 1 in the stamp; for odd and even widths alike the stamp's
    // corner is then the whole pixel X - 1 - Width div 2.
    FPainter->drawImage(QPoint(X - 1 - Width / 2, Y - 1 - Width / 2), FEndStamp);
}

void TQtCanvas::ApplyBrush() {
    if (FFillStyle == TFillStyle::Solid) {
        FPainter->setBrush(QBrush(ToQColor(FFillColor)));
    } else {
        FPainter->setBrush(Qt::NoBrush);
    }
}

// Qt's raster engine draws round-ended wide lines through its general
// outline filler, ten times slower than square- or flat-ended ones, which
// have a fast path of their own: a thousand process lines took 150 ms, and
// one slanted line across a 600 dpi page some 15 ms. On pixels, lines up to
// three pixels wide therefore end square, which looks as round at that
// size; wider ones are drawn flat with their round ends copied on (an end
// shared with the line before is copied once, so its edge is not blended
// twice). Vector devices get round ends.
void TQtCanvas::LineTo(int X, int Y) {
    const int Width = PenPixels(FPenWidth);
    const double O = PixelOffset(Width);
    const QPointF From(FPenPos.X + O, FPenPos.Y + O);
    const QPointF To(X + O, Y + O);
    const TPoint Start = FPenPos;
    FPenPos = {X, Y};
    if (Width <= 3 || !CanStampEnds()) {
        FLastEnd.reset();
        ApplyPen(Width <= 3 && FRaster ? Qt::SquareCap : Qt::RoundCap);
        FPainter->drawLine(From, To);
        return;
    }
    ApplyPen(Qt::FlatCap);
    if (!(Start == FPenPos)) {
        FPainter->drawLine(From, To);
    }
    const bool SharedEnd = FLastEnd && *FLastEnd == Start && FStampWidth == Width && FStampColor == FPenColor;
    if (!SharedEnd) {
        StampEnd(Start.X, Start.Y);
    }
    StampEnd(X, Y);
    FLastEnd = FPenPos;
}

void TQtCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    FLastEnd.reset();
    ApplyPen();
    ApplyBrush();
    const double O = PixelOffset(PenPixels(FPenWidth));
    // The outline runs through the outermost pixels of the box.
    const QRectF Box(X1 + O, Y1 + O, X2 - X1 - 1, Y2 - Y1 - 1);
    // Qt fills and outlines an ellipse through its general outline filler;
    // the chart's point markers, a thousand alike, are drawn once and then
    // copied. The copy blends onto the page as the drawing would.
    const int Margin = PenPixels(FPenWidth) / 2 + 2;
    const TEllipseStamp Key{X2 - X1, Y2 - Y1, FPenWidth, FPenColor, FFillStyle, FFillColor};
    if (!CanStampEnds() || std::abs(X2 - X1) > 64 || std::abs(Y2 - Y1) > 64) {
        FPainter->drawEllipse(Box);
        return;
    }
    if (FEllipseStamp.isNull() || !(FEllipseKey == Key)) {
        FEllipseStamp = QImage(std::abs(X2 - X1) + 2 * Margin, std::abs(Y2 - Y1) + 2 * Margin,
                               QImage::Format_ARGB32_Premultiplied);
        FEllipseStamp.fill(Qt::transparent);
        QPainter Stamp(&FEllipseStamp);
        Stamp.setRenderHint(QPainter::Antialiasing, true);
        Stamp.setPen(FPainter->pen());
        Stamp.setBrush(FPainter->brush());
        Stamp.drawEllipse(Box.translated(Margin - std::min(X1, X2), Margin - std::min(Y1, Y2)));
        FEllipseKey = Key;
    }
    FPainter->drawImage(QPoint(std::min(X1, X2) - Margin, std::min(Y1, Y2) - Margin), FEllipseStamp);
}

void TQtCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    FLastEnd.reset();
    ApplyPen();
    ApplyBrush();
    const double O = PixelOffset(PenPixels(FPenWidth));
    FPainter->drawRect(QRectF(X1 + O, Y1 + O, X2 - X1 - 1, Y2 - Y1 - 1));
}

void TQtCanvas::TextOut(int X, int Y, const std::string& Text) {
    FLastEnd.reset();
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
    FLastEnd.reset();
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
