#pragma once

#include "chart/Canvas.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace psykrona::test {

// One call on the recording canvas with the drawing state it was made in:
// "MoveTo", "LineTo", "Ellipse", "Rectangle", "TextOut" or "StretchDraw".
struct TRecordedCall {
    std::string Name;
    // MoveTo, TextOut: (X1, Y1). LineTo: from (X1, Y1) to (X2, Y2). Shapes
    // and StretchDraw: the box.
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    std::string Text; // TextOut's text; StretchDraw's "WxH" picture size
    TColor PenColor;
    int PenWidth = 0;
    TColor FillColor;
    TFillStyle FillStyle = TFillStyle::Solid;
    TFontDesc Font;

    bool IsDrawing() const { return Name != "MoveTo"; }

    // One line, e.g. `LineTo 100,60 100,540 pen=255,0,0/2` or
    // `TextOut 83,54 "50" font=Arial/15/0/400 fill=255,255,255/solid`.
    std::string ToString() const {
        auto Rgb = [](TColor C) {
            return std::to_string(C.R) + "," + std::to_string(C.G) + "," + std::to_string(C.B);
        };
        auto Xy = [](int X, int Y) { return std::to_string(X) + "," + std::to_string(Y); };
        const std::string Pen = "pen=" + Rgb(PenColor) + "/" + std::to_string(PenWidth);
        const std::string Fill =
            "fill=" + Rgb(FillColor) + (FillStyle == TFillStyle::Solid ? "/solid" : "/clear");
        const std::string F = "font=" + Font.Face + "/" + std::to_string(Font.Height) + "/" +
                              std::to_string(Font.Angle) + "/" + std::to_string(Font.Weight);
        if (Name == "MoveTo" || Name == "TextOut") {
            return Name + " " + Xy(X1, Y1) + (Name == "TextOut" ? " \"" + Text + "\" " + F + " " + Fill : "");
        }
        const std::string Rest = Name == "LineTo" ? Pen : Name == "StretchDraw" ? Text : Pen + " " + Fill;
        return Name + " " + Xy(X1, Y1) + " " + Xy(X2, Y2) + " " + Rest;
    }
};

// A canvas that draws nothing and records every drawing call and move with
// the state it was made in, for checking layouts exactly. Text metrics are
// fixed and simple: a text is as high as the font's cell and each character
// (UTF-8 code point) is CharWidth(height) pixels wide, whatever the angle and
// weight.
class TRecordingCanvas : public TCanvas {
public:
    std::vector<TRecordedCall> Calls;

    static int CharWidth(int Height) { return Height * 6 / 10 > 0 ? Height * 6 / 10 : 1; }
    static int CodePoints(const std::string& Text) {
        return static_cast<int>(std::count_if(
            Text.begin(), Text.end(), [](char C) { return (static_cast<unsigned char>(C) & 0xC0) != 0x80; }));
    }

    void MoveTo(int X, int Y) override {
        TCanvas::MoveTo(X, Y);
        Record("MoveTo", X, Y);
    }
    void LineTo(int X, int Y) override {
        Record("LineTo", FPenPos.X, FPenPos.Y, X, Y);
        FPenPos = {X, Y};
    }
    void Ellipse(int X1, int Y1, int X2, int Y2) override { Record("Ellipse", X1, Y1, X2, Y2); }
    void Rectangle(int X1, int Y1, int X2, int Y2) override { Record("Rectangle", X1, Y1, X2, Y2); }
    void TextOut(int X, int Y, const std::string& Text) override { Record("TextOut", X, Y, 0, 0, Text); }
    int TextWidth(const std::string& Text) override { return CodePoints(Text) * CharWidth(FFont.Height); }
    int TextHeight(const std::string&) override { return FFont.Height; }
    void StretchDraw(const TRect& Rect, const TPicture& Picture) override {
        Record("StretchDraw", Rect.Left, Rect.Top, Rect.Right, Rect.Bottom,
               std::to_string(Picture.Width) + "x" + std::to_string(Picture.Height));
    }

    // The calls of one name, in order.
    std::vector<TRecordedCall> Named(const std::string& Name) const {
        std::vector<TRecordedCall> Out;
        std::copy_if(Calls.begin(), Calls.end(), std::back_inserter(Out),
                     [&](const TRecordedCall& C) { return C.Name == Name; });
        return Out;
    }
    int DrawingCount() const {
        return static_cast<int>(
            std::count_if(Calls.begin(), Calls.end(), [](const TRecordedCall& C) { return C.IsDrawing(); }));
    }
    // What was drawn, one drawing call a line with the state it was drawn
    // in (moves show in the calls they affect); lines that go on
    // from where the last one ended, with the same pen, join into one
    // `LineTo x,y x,y x,y ... pen=...` line.
    std::string ToText() const {
        std::string Out;
        const TRecordedCall* Last = nullptr;
        for (const TRecordedCall& C : Calls) {
            if (!C.IsDrawing()) {
                continue;
            }
            if (C.Name == "LineTo" && Last != nullptr && Last->Name == "LineTo" && Last->X2 == C.X1 &&
                Last->Y2 == C.Y1 && Last->PenColor == C.PenColor && Last->PenWidth == C.PenWidth) {
                const std::string Point = " " + std::to_string(C.X2) + "," + std::to_string(C.Y2);
                Out.insert(Out.rfind(" pen="), Point);
            } else {
                Out += C.ToString() + '\n';
            }
            Last = &C;
        }
        return Out;
    }

private:
    void Record(const char* Name, int X1 = 0, int Y1 = 0, int X2 = 0, int Y2 = 0, std::string Text = {}) {
        Calls.push_back(
            {Name, X1, Y1, X2, Y2, std::move(Text), FPenColor, FPenWidth, FFillColor, FFillStyle, FFont});
    }
};

// Compares a recording with its reviewed golden file at Path. Lines starting
// with "#" are the file's header and are not compared. With
// PSYKRONA_UPDATE_GOLDEN=1 in the environment the file is rewritten instead:
// Header (each line gets "# "), then Text. Returns an empty string when they
// agree, otherwise the first differing line.
inline std::string CompareWithGolden(const std::string& Path, const std::string& Header,
                                     const std::string& Text) {
    auto LinesOf = [](std::istream&& In, bool Rewrite) {
        std::vector<std::string> Lines;
        for (std::string Line; std::getline(In, Line);) {
            if (Rewrite) {
                Lines.push_back(Line.empty() ? "#" : "# " + Line);
            } else if (!Line.starts_with("#")) {
                Lines.push_back(Line);
            }
        }
        return Lines;
    };
    const char* Update = std::getenv("PSYKRONA_UPDATE_GOLDEN");
    if (Update != nullptr && std::string(Update) == "1") {
        std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
        for (const std::string& Line : LinesOf(std::istringstream(Header), true)) {
            Out << Line << '\n';
        }
        Out << Text;
        return Out ? "" : "cannot rewrite " + Path;
    }
    std::ifstream In(Path, std::ios::binary);
    if (!In) {
        return "no golden file " + Path + "; write it with PSYKRONA_UPDATE_GOLDEN=1 and review it";
    }
    const std::vector<std::string> Want = LinesOf(std::move(In), false);
    const std::vector<std::string> Got = LinesOf(std::istringstream(Text), false);
    for (std::size_t I = 0; I < std::max(Want.size(), Got.size()); ++I) {
        const std::string W = I < Want.size() ? Want[I] : "(end)";
        const std::string G = I < Got.size() ? Got[I] : "(end)";
        if (W != G) {
            return Path + ": call " + std::to_string(I + 1) + " of " + std::to_string(Got.size()) +
                   " differs\n  golden: " + W + "\n  drawn:  " + G +
                   "\nIf the change is meant, see the file's header to rewrite and review it.";
        }
    }
    return "";
}

} // namespace psykrona::test
