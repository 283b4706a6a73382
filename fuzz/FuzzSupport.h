#pragma once

#include "chart/Canvas.h"
#include "chart/MollierDraw.h"
#include "engine/Main.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace psykrona::fuzz {

inline std::string_view AsBytes(const std::uint8_t* Data, std::size_t Size) {
    return {reinterpret_cast<const char*>(Data), Size};
}

// A broken promise of the code under test: libFuzzer keeps the input that
// led here as a crash.
[[noreturn]] inline void Violated(const std::string& What, std::string_view Detail = {}) {
    std::fprintf(stderr, "\n*** %s\n", What.c_str());
    if (!Detail.empty()) {
        std::fprintf(stderr, "--- detail (%zu bytes) ---\n%.*s\n---\n", Detail.size(),
                     static_cast<int>(Detail.size() > 4000 ? 4000 : Detail.size()), Detail.data());
    }
    std::abort();
}

// The same text with CR LF and lone CR read as LF: a parser turns every line
// end into LF, so a written CR comes back as LF by design.
inline std::string LineEndsAsLf(std::string_view Text) {
    std::string Out;
    Out.reserve(Text.size());
    for (std::size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] == '\r') {
            Out += '\n';
            if (I + 1 < Text.size() && Text[I + 1] == '\n') {
                ++I;
            }
        } else {
            Out += Text[I];
        }
    }
    return Out;
}

// A canvas that draws nothing; its coordinates still go through the
// sanitizers, and text metrics are as simple as can be.
class TNullCanvas : public TCanvas {
public:
    void LineTo(int X, int Y) override { MoveTo(X, Y); }
    void Ellipse(int, int, int, int) override {}
    void Rectangle(int, int, int, int) override {}
    void TextOut(int, int, const std::string&) override {}
    int TextWidth(const std::string& Text) override {
        return static_cast<int>(Text.size()) * (Font().Height / 2 + 1);
    }
    int TextHeight(const std::string&) override { return Font().Height; }
    void StretchDraw(const TRect&, const TPicture&) override {}
};

// Draws Doc's chart; whatever the document holds, drawing must return.
inline void DrawChart(TMain& Doc) {
    TNullCanvas Canvas;
    TMollierDraw Draw;
    Draw.Document = &Doc;
    Draw.SetCanvas(&Canvas, 0, 0, 640, 480);
    Draw.DrawDiagram(false);
}

} // namespace psykrona::fuzz
