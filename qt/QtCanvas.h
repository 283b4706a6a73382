#pragma once

#include "chart/Canvas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <memory>
#include <optional>

class QPaintDevice;

namespace psykrona {

// The canvas on a QPainter, for any paint device: a widget, a QImage, a
// printer or an SVG generator. Antialiased. A font of cell height H has
// ascent + descent = H, so texts take the room the layouts reserve for
// them; "Arial" is drawn as Liberation Sans, which has Arial's metrics.
class TQtCanvas : public TCanvas {
public:
    // Paints on Device with a painter of its own, from now until destruction.
    explicit TQtCanvas(QPaintDevice& Device);
    // Paints through a painter that is already active (a widget's paint
    // event, a printer's pages); its state is saved and restored.
    explicit TQtCanvas(QPainter& Painter);
    ~TQtCanvas() override;
    TQtCanvas(const TQtCanvas&) = delete;
    TQtCanvas& operator=(const TQtCanvas&) = delete;

    void LineTo(int X, int Y) override;
    void Ellipse(int X1, int Y1, int X2, int Y2) override;
    void Rectangle(int X1, int Y1, int X2, int Y2) override;
    void TextOut(int X, int Y, const std::string& Text) override;
    int TextWidth(const std::string& Text) override;
    int TextHeight(const std::string& Text) override;
    void StretchDraw(const TRect& Rect, const TPicture& Picture) override;

    // The Qt font the current description resolves to, in whole pixels;
    // texts are drawn and measured with it scaled by FontScale().
    const QFont& CurrentQFont();
    double FontScale() {
        UpdateFont();
        return FScale;
    }
    // The family a face name is drawn with.
    static QString FamilyOf(const std::string& Face);

private:
    void Init();
    void ApplyPen(Qt::PenCapStyle Cap = Qt::RoundCap);
    bool CanStampEnds() const;
    void StampEnd(int X, int Y);
    void ApplyBrush();
    void UpdateFont();

    std::optional<QPainter> FOwnPainter;
    QPainter* FPainter = nullptr;
    QPaintDevice* FDevice = nullptr;
    bool FRaster = false; // pixels drawn by Qt's raster engine
    // The font is made again only when its description changes.
    TFontDesc FMadeFor;
    bool FFontMade = false;
    QFont FQFont;
    std::unique_ptr<QFontMetricsF> FMetrics;
    double FScale = 1; // from the font's whole pixel size to the cell's
    double FAscent = 0;
    // The round end of the current pen, drawn once and then copied: see
    // LineTo.
    QImage FEndStamp;
    int FStampWidth = 0;
    TColor FStampColor;
    std::optional<TPoint> FLastEnd;
    // The last small ellipse, drawn once and copied while its kind repeats.
    struct TEllipseStamp {
        int Width = 0;
        int Height = 0;
        int PenWidth = 0;
        TColor PenColor;
        TFillStyle FillStyle = TFillStyle::Solid;
        TColor FillColor;
        friend bool operator==(const TEllipseStamp&, const TEllipseStamp&) = default;
    };
    QImage FEllipseStamp;
    TEllipseStamp FEllipseKey;
};

} // namespace psykrona
