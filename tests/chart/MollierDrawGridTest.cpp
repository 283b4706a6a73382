// The grid, the frame, the enthalpy lines and the humidity curves on a
// recording canvas. Text metrics are the recording canvas's: a text of
// height H is H high and each character is H * 6 / 10 wide, so at 800 × 600
// a label character is 9 pixels wide and a humidity label character 7.
#include "tests/chart/ChartFixture.h"

#include "engine/MollierCalculate.h"

#include <gtest/gtest.h>

#include <cmath>

namespace psykrona {
namespace {

using test::Only;
using test::TChart;
using test::Texts;
using test::TRecordedCall;
using test::TRecordingCanvas;

const TMollierCalculate& Calc() {
    return TMollierCalculate::GetInstance();
}

std::vector<TRecordedCall> WithPen(const std::vector<TRecordedCall>& Calls, int Width) {
    std::vector<TRecordedCall> Out;
    for (const TRecordedCall& C : Only(Calls, "LineTo")) {
        if (C.PenWidth == Width) {
            Out.push_back(C);
        }
    }
    return Out;
}

TRecordedCall TitleCall(const TChart& C, const std::string& Title) {
    for (const TRecordedCall& Call : C.Canvas.Calls) {
        if (Call.Name == "TextOut" && Call.Text == Title) {
            return Call;
        }
    }
    ADD_FAILURE() << "no title " << Title;
    return {};
}

TEST(TMollierDrawGridTest, MajorIsothermsRunFromTheLeftEdgeToSaturationAndAreLabelled) {
    TChart C;
    C.Render();
    const auto Section = C.Between("", C.Draw.TitleTemp());
    const auto Major = WithPen(Section, 2);
    std::vector<std::string> ExpectedLabels;
    ASSERT_EQ(Major.size(), 15u);
    for (int K = 0; K < 15; ++K) {
        const int T = 50 - 5 * K;
        ExpectedLabels.push_back(std::to_string(T));
        const TRecordedCall& L = Major[static_cast<size_t>(K)];
        const int Y = C.Draw.StateToPixel(T, 0).Y;
        EXPECT_EQ(L.PenColor, clRed);
        EXPECT_EQ(L.X1, 100) << T;
        EXPECT_EQ(L.Y1, Y) << T;
        EXPECT_EQ(L.Y2, Y) << T;
        // Saturation at 50 °C lies beyond 0.035 kg/kg: that line ends at the
        // right edge.
        const int End = C.Draw.StateToPixel(T, std::min(Calc().SpecHumFromTempRelHum(T, 100), 0.035)).X;
        if (T == 50) {
            EXPECT_EQ(End, 740);
        }
        EXPECT_EQ(L.X2, End) << T;
    }
    const auto Labels = Only(Section, "TextOut");
    EXPECT_EQ(Texts(Labels), ExpectedLabels);
    for (size_t K = 0; K < Labels.size(); ++K) {
        // Ends 1.4 digit widths (Round(12.6) = 13) left of the edge; raised
        // by Round(15 / 2.5) = 6.
        EXPECT_EQ(Labels[K].X1 + 9 * static_cast<int>(Labels[K].Text.size()), 87) << Labels[K].Text;
        EXPECT_EQ(Labels[K].Y1, Major[K].Y1 - 6) << Labels[K].Text;
        EXPECT_EQ(Labels[K].FillColor, clWhite);
        EXPECT_EQ(Labels[K].FillStyle, TFillStyle::Solid);
    }
    // A minor isotherm every degree, also where a major one is.
    const auto Minor = WithPen(Section, 1);
    ASSERT_EQ(Minor.size(), 71u);
    EXPECT_EQ(Minor.front().Y1, 60);
    EXPECT_EQ(Minor.back().Y1, 540);
}

TEST(TMollierDrawGridTest, AChartBelowMinusTenStartsItsIsothermsAtMinusFifteen) {
    TChart C;
    C.Options.SetMaxTemp(-12);
    C.Render();
    const auto Section = C.Between("", C.Draw.TitleTemp());
    EXPECT_EQ(Texts(Section), (std::vector<std::string>{"-15", "-20"}));
    const auto Major = WithPen(Section, 2);
    ASSERT_EQ(Major.size(), 2u);
    EXPECT_EQ(Major[0].Y1, C.Draw.StateToPixel(-15, 0).Y);
    EXPECT_EQ(Major[1].Y1, 540);
    EXPECT_EQ(WithPen(Section, 1).size(), 9u); // -12 to -20
}

TEST(TMollierDrawGridTest, IsothermsOfARaisedBottomStartAtTheLeftEdge) {
    TChart C;
    C.Options.SetMinSpecHum(0.005);
    C.Render();
    const auto Section = C.Between("", C.Draw.TitleTemp());
    EXPECT_EQ(Texts(Section).back(), "5");
    for (const TRecordedCall& L : Only(Section, "LineTo")) {
        EXPECT_EQ(L.X1, 107);
    }
}

TEST(TMollierDrawGridTest, HumidityRatioLinesRunFromTheTopToSaturationWithLocaleLabels) {
    for (const char Separator : {'.', ','}) {
        TChart C;
        SetDecimalSeparator(Separator);
        C.Render();
        const auto Section = C.Between(C.Draw.TitleTemp(), C.Draw.TitleSpecHum());
        const auto Labels = Only(Section, "TextOut");
        const auto Major = WithPen(Section, 2);
        ASSERT_EQ(Labels.size(), 8u);
        ASSERT_EQ(Major.size(), 8u);
        const char* const Values[] = {"0.035", "0.030", "0.025", "0.020", "0.015", "0.010", "0.005", "0.000"};
        for (int K = 0; K < 8; ++K) {
            const double X = 0.035 - 0.005 * K;
            std::string Expected = Values[K];
            Expected[1] = Separator;
            const TRecordedCall& T = Labels[static_cast<size_t>(K)];
            const TRecordedCall& L = Major[static_cast<size_t>(K)];
            EXPECT_EQ(T.Text, Expected);
            const int Px = C.Draw.StateToPixel(50, X).X;
            // Centred above the top edge, raised by Round(15 * 1.3) = 20.
            EXPECT_EQ(T.X1, Px - 45 / 2) << Expected;
            EXPECT_EQ(T.Y1, 40) << Expected;
            EXPECT_EQ(L.X1, Px);
            EXPECT_EQ(L.X2, Px);
            EXPECT_EQ(L.Y1, 60);
            const double Dew = Calc().TempFromSpecHumRelHum(X, 100);
            EXPECT_EQ(L.Y2, Dew < -20 ? 540 : C.Draw.StateToPixel(Dew, X).Y) << Expected;
        }
        EXPECT_EQ(WithPen(Section, 1).size(), 36u);
    }
    SetDecimalSeparator('.');
}

TEST(TMollierDrawGridTest, AxisTitlesStandLeftOfAndAboveTheLabels) {
    TChart C;
    C.Render();
    const TRecordedCall TitleT = TitleCall(C, C.Draw.TitleTemp());
    const TRecordedCall TitleX = TitleCall(C, C.Draw.TitleSpecHum());
    // Rotated, 14 high (15 less one pixel), 26 characters of 8 pixels:
    // X = 100 - Round(16 * 2.3) - 14, Y = (60 + 540) / 2 + 208 / 2.
    EXPECT_EQ(TitleT.Font.Angle, 90);
    EXPECT_EQ(TitleT.Font.Height, 14);
    EXPECT_EQ(TitleT.X1, 49);
    EXPECT_EQ(TitleT.Y1, 404);
    // 24 characters of 9 pixels: X = 420 - 108, Y = 60 - Round(18 * 1.9) - 15.
    EXPECT_EQ(TitleX.Font.Angle, 0);
    EXPECT_EQ(TitleX.X1, 312);
    EXPECT_EQ(TitleX.Y1, 11);
}

TEST(TMollierDrawGridTest, OnlySmallRotatedTitlesLoseAPixel) {
    struct Case {
        int Width, FontAxis, TitleHeight;
    };
    for (const Case K : {Case{800, 15, 14}, Case{1100, 20, 19}, Case{1650, 30, 30}, Case{4672, 85, 85}}) {
        TChart C(K.Width, 600);
        C.Render();
        ASSERT_EQ(C.Draw.FontAxis(), K.FontAxis);
        EXPECT_EQ(TitleCall(C, C.Draw.TitleTemp()).Font.Height, K.TitleHeight) << K.Width;
    }
}

TEST(TMollierDrawGridTest, FrameFollowsTheEdgesAndMeetsTheSaturationCurve) {
    TChart C;
    C.Render();
    std::vector<TRecordedCall> Frame;
    for (const TRecordedCall& L : Only(C.Canvas.Calls, "LineTo")) {
        if (L.PenColor == clBlack && L.PenWidth == 2 && Frame.size() < 4) {
            Frame.push_back(L);
        }
    }
    ASSERT_EQ(Frame.size(), 4u);
    const int BottomEnd = C.Draw.StateToPixel(-20, Calc().SpecHumFromTempRelHum(-20, 100)).X;
    const int RightEnd = C.Draw.StateToPixel(Calc().TempFromSpecHumRelHum(0.035, 100), 0.035).Y;
    const int Expected[4][4] = {
        {100, 60, 100, 540}, {100, 60, 740, 60}, {100, 540, BottomEnd, 540}, {740, 60, 740, RightEnd}};
    for (int I = 0; I < 4; ++I) {
        EXPECT_EQ((std::vector<int>{Frame[I].X1, Frame[I].Y1, Frame[I].X2, Frame[I].Y2}),
                  (std::vector<int>(Expected[I], Expected[I] + 4)))
            << "edge " << I;
    }
}

TEST(TMollierDrawCurvesTest, EnthalpyLinesEveryFiveLabelledAtMultiplesOfTen) {
    TChart C;
    C.Render();
    const auto Section = C.Between(C.Draw.TitleSpecHum(), C.Draw.TitleEnthalpy());
    const auto Lines = Only(Section, "LineTo");
    // From -20 kJ/kg to the last line that enters left of the top right
    // corner: h(50 °C, 0.035) = 141 kJ/kg.
    ASSERT_EQ(Lines.size(), 33u);
    std::vector<std::string> ExpectedLabels;
    for (size_t K = 0; K < Lines.size(); ++K) {
        const int H = -20 + 5 * static_cast<int>(K);
        const TRecordedCall& L = Lines[K];
        EXPECT_EQ(L.PenColor, clRed);
        EXPECT_EQ(L.PenWidth, 1);
        EXPECT_TRUE(L.X1 == 100 || L.Y1 == 60) << H;
        EXPECT_NEAR(C.Draw.PixelToState(L.X1, L.Y1).Enthalpy, H, 0.5) << H;
        EXPECT_NEAR(C.Draw.PixelToState(L.X2, L.Y2).Enthalpy, H, 0.5) << H;
        EXPECT_TRUE(L.Y2 == 540 || L.X2 == 740 || C.Draw.PixelToState(L.X2, L.Y2).RelHum > 90) << H;
        if (H % 10 == 0) {
            ExpectedLabels.push_back(std::to_string(H));
        }
    }
    EXPECT_EQ(Texts(Section), ExpectedLabels);
    // Each label just below and right of its line's end: Round(15 * 0.3) = 4
    // (4.5, halves to even).
    size_t Label = 0;
    for (size_t K = 0; K < Section.size(); ++K) {
        if (Section[K].Name == "TextOut") {
            ASSERT_GT(K, 0u);
            EXPECT_EQ(Section[K].X1, Section[K - 1].X2 + 4) << Section[K].Text;
            EXPECT_EQ(Section[K].Y1, Section[K - 1].Y2 + 4) << Section[K].Text;
            ++Label;
        }
    }
    EXPECT_EQ(Label, ExpectedLabels.size());
}

TEST(TMollierDrawCurvesTest, EnthalpyTitleStandsBesideTheCurveOrBelowTheBottomEdge) {
    for (const double MinTemp : {-20.0, 15.0}) {
        TChart C;
        C.Options.SetMinTemp(MinTemp);
        C.Render();
        const auto Title = TitleCall(C, C.Draw.TitleEnthalpy());
        // Beside the curve: the middle of the title is in the fog region
        // above 100 %, and inside the chart's height.
        const int W = static_cast<int>(C.Draw.TitleEnthalpy().size()) * 9;
        const TMoistAirState S = C.Draw.PixelToState(Title.X1 + W / 2, Title.Y1 + 7);
        EXPECT_GT(S.RelHum, 100) << MinTemp;
        EXPECT_LT(Title.Y1, 540) << MinTemp;
        EXPECT_GT(S.SpecHum, 0.0125) << MinTemp;
    }
    // Saturation meets the bottom edge right of 5/14 of the range: below the
    // edge by Round(18 * 0.9) + 15, and held at 0.001 kg/kg from the left
    // edge (Round(118.29)).
    TChart C;
    C.Options.SetMinTemp(20);
    C.Render();
    const auto Title = TitleCall(C, C.Draw.TitleEnthalpy());
    EXPECT_EQ(Title.X1, 118);
    EXPECT_EQ(Title.Y1, 571);
}

// After the enthalpy title come the humidity curves: per curve its segments,
// then a blank of seven spaces and the label over it.
TEST(TMollierDrawCurvesTest, TenHumidityCurvesLabelledAsFractionsInTheLocalesSeparator) {
    for (const char Separator : {'.', ','}) {
        TChart C;
        SetDecimalSeparator(Separator);
        C.Render();
        const auto Texts = Only(C.Between(C.Draw.TitleEnthalpy(), ""), "TextOut");
        ASSERT_EQ(Texts.size(), 20u);
        for (int K = 0; K < 10; ++K) {
            const TRecordedCall& Blank = Texts[2 * static_cast<size_t>(K)];
            const TRecordedCall& Label = Texts[2 * static_cast<size_t>(K) + 1];
            std::string Expected = K == 9 ? "1.0" : "0." + std::to_string(K + 1);
            Expected[1] = Separator;
            EXPECT_EQ(Label.Text, Expected);
            EXPECT_EQ(Blank.Text, "       ");
            EXPECT_EQ(Blank.FillStyle, TFillStyle::Solid);
            EXPECT_EQ(Blank.FillColor, clWhite);
            EXPECT_EQ(Label.FillStyle, TFillStyle::Clear);
            EXPECT_EQ(Blank.Font.Height, 8);
            EXPECT_EQ(Label.Font.Height, 12);
            EXPECT_EQ(Label.Font.Angle, Blank.Font.Angle);
            EXPECT_EQ(Label.X1, Blank.X1);
            EXPECT_EQ(Label.Y1, Blank.Y1 - 2);
            // The label stands on the dry side of its own curve, close to it
            // (where the curves crowd at the right edge, past the next one).
            const TMoistAirState S = C.Draw.PixelToState(Label.X1, Label.Y1);
            EXPECT_LT(S.RelHum, 10 * (K + 1)) << Expected;
            EXPECT_GT(S.RelHum, 10 * (K - 1)) << Expected;
        }
    }
    SetDecimalSeparator('.');
}

TEST(TMollierDrawCurvesTest, AHumidityLabelLeftOfTheMarginIsLeftOutButTheCurveIsDrawn) {
    TChart C;
    // The 10 % curve then enters the chart just below its top left corner.
    C.Options.SetMinSpecHum(0.007);
    C.Render();
    const auto Section = C.Between(C.Draw.TitleEnthalpy(), "");
    const auto Labels = Texts(Section);
    EXPECT_EQ(std::count(Labels.begin(), Labels.end(), "0.1"), 0);
    EXPECT_EQ(std::count(Labels.begin(), Labels.end(), "       "), 9);
    EXPECT_EQ(Labels[1], "0.2");
    int TenPercent = 0;
    for (const TRecordedCall& L : Only(Section, "LineTo")) {
        TenPercent += L.PenColor == clRed && std::fabs(C.Draw.PixelToState(L.X2, L.Y2).RelHum - 10) < 0.5;
    }
    EXPECT_GT(TenPercent, 0);
}

TEST(TMollierDrawCurvesTest, PrinterFontsGiveTheSameDrawing) {
    TChart C;
    C.Render();
    const std::string Screen = C.Canvas.ToText();
    C.Render(true);
    EXPECT_TRUE(C.Draw.DirectFonts());
    EXPECT_EQ(C.Canvas.ToText(), Screen);
}

// Calculation failures: a label that cannot be placed is left out and the
// drawing goes on; any other failure ends the drawing, leaving what was drawn.
TEST(TMollierDrawCurvesTest, CalculationFailuresEndTheDrawingWithoutEscaping) {
    {
        TChart Tiny(24, 20);
        EXPECT_NO_THROW(Tiny.Render());
        int Frame = 0;
        for (const TRecordedCall& L : Only(Tiny.Canvas.Calls, "LineTo")) {
            Frame += L.PenColor == clBlack;
        }
        EXPECT_EQ(Frame, 4);
    }
    {
        // No pressure: the enthalpy lines find no saturation temperature.
        TChart C;
        C.Doc.Pressure = 0;
        EXPECT_NO_THROW(C.Render());
        EXPECT_GT(C.Canvas.DrawingCount(), 0);
        for (const TRecordedCall& L : Only(C.Canvas.Calls, "LineTo")) {
            EXPECT_EQ(L.PenColor, clRed);
        }
        C.Doc.SetPressure(101.3);
    }
}

} // namespace
} // namespace psykrona
