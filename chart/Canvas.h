#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace psykrona {

struct TColor {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;

    friend bool operator==(const TColor&, const TColor&) = default;
};

inline constexpr TColor clBlack{0, 0, 0};
inline constexpr TColor clWhite{255, 255, 255};
inline constexpr TColor clRed{255, 0, 0};
inline constexpr TColor clAqua{0, 255, 255};

struct TPoint {
    int X = 0;
    int Y = 0;

    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Left and top inside, right and bottom just outside, as for every shape of
// the canvas.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    friend bool operator==(const TRect&, const TRect&) = default;
};

// Solid: shapes are filled and text stands on a box of the fill colour.
// Clear: shapes are unfilled and text is drawn on what is there.
enum class TFillStyle { Solid, Clear };

// A font by description. Height is the character cell height in pixels
// (ascent plus descent); Angle is the baseline's angle in whole degrees
// counter-clockwise, glyphs rotated with it; Weight is 0 (the face's
// default), 400, 700 or 900. Fonts are upright, without underline or
// strike-out, and text is always black.
struct TFontDesc {
    std::string Face = "Arial";
    int Height = 13;
    int Angle = 0;
    int Weight = 400;

    friend bool operator==(const TFontDesc&, const TFontDesc&) = default;
};

// A picture in memory: Width × Height pixels, rows top to bottom, three bytes
// (red, green, blue) per pixel and no padding.
struct TPicture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Rgb;

    bool IsEmpty() const { return Width <= 0 || Height <= 0; }
};

// The drawing surface of the chart and the printed pages. Coordinates are
// integer device pixels, x to the right and y downwards from the top left.
// The canvas never tells its size: whoever hands it to a layout passes the
// size to fill. It clips to its own bounds.
//
// The pen (colour, width; always solid), the fill (colour, style) and the
// font are state that applies to everything drawn after it is set. A new
// canvas has a black pen 1 pixel wide, a solid white fill and 13-pixel Arial.
class TCanvas {
public:
    virtual ~TCanvas() = default;

    virtual void SetPenColor(TColor Value) { FPenColor = Value; }
    virtual void SetPenWidth(int Value) { FPenWidth = Value; }
    virtual void SetFillColor(TColor Value) { FFillColor = Value; }
    virtual void SetFillStyle(TFillStyle Value) { FFillStyle = Value; }
    virtual void SetFont(const TFontDesc& Value) { FFont = Value; }

    TColor PenColor() const { return FPenColor; }
    int PenWidth() const { return FPenWidth; }
    TColor FillColor() const { return FFillColor; }
    TFillStyle FillStyle() const { return FFillStyle; }
    const TFontDesc& Font() const { return FFont; }
    TPoint PenPos() const { return FPenPos; }

    // Sets the current position.
    virtual void MoveTo(int X, int Y) { FPenPos = {X, Y}; }
    // Draws with the pen from the current position to (X, Y), which becomes
    // the current position.
    virtual void LineTo(int X, int Y) = 0;
    // The ellipse and the rectangle inscribed in the box from (X1, Y1) to
    // (X2, Y2), outlined with the pen and filled by the fill.
    virtual void Ellipse(int X1, int Y1, int X2, int Y2) = 0;
    virtual void Rectangle(int X1, int Y1, int X2, int Y2) = 0;
    // Text in the current font with the top left corner of its cell at
    // (X, Y); rotated text turns about that corner. Texts are UTF-8.
    virtual void TextOut(int X, int Y, const std::string& Text) = 0;
    // The size of a text in the current font, unrotated.
    virtual int TextWidth(const std::string& Text) = 0;
    virtual int TextHeight(const std::string& Text) = 0;
    // The picture scaled to fill Rect.
    virtual void StretchDraw(const TRect& Rect, const TPicture& Picture) = 0;

protected:
    TColor FPenColor = clBlack;
    int FPenWidth = 1;
    TColor FFillColor = clWhite;
    TFillStyle FFillStyle = TFillStyle::Solid;
    TFontDesc FFont;
    TPoint FPenPos;
};

} // namespace psykrona
