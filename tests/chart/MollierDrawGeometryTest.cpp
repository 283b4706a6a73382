// The renderer's layout: sizes, margins, scales and origins from the size of
// the target, the effective limits, the mappings both ways, and the cases
// that leave no chart.
#include "tests/chart/ChartFixture.h"

#include "engine/MollierCalculate.h"

#include <gtest/gtest.h>

namespace psykrona {
namespace {

using test::TChart;

TEST(TMollierDrawLayoutTest, DefaultChartAt800x600) {
    TChart C(800, 600);
    C.Render();
    const TMollierDraw& D = C.Draw;
    EXPECT_EQ(D.PenThick(), 2);
    EXPECT_EQ(D.PenThin(), 1);
    EXPECT_EQ(D.PenProcess(), 2);
    EXPECT_EQ(D.FontLabel(), 15);
    EXPECT_EQ(D.FontAxis(), 15);
    EXPECT_EQ(D.FontRelHum(), 12);
    EXPECT_EQ(D.MarkerSize(), 9);
    EXPECT_EQ(D.MarginX(), 100);
    EXPECT_EQ(D.MarginY(), 60);
    EXPECT_DOUBLE_EQ(D.ScaleX(), 640 / 0.035);
    EXPECT_DOUBLE_EQ(D.ScaleY(), 480.0 / 70);
    EXPECT_EQ(D.OriginX(), 100);
    EXPECT_EQ(D.OriginY(), 403); // 402.857 rounded

    struct Case {
        double Temp, SpecHum;
        TPoint Pixel;
    };
    for (const Case& M : {Case{50, 0, {100, 60}}, Case{-20, 0, {100, 540}}, Case{-20, 0.035, {740, 540}},
                          Case{20, 0.010, {283, 266}}}) {
        EXPECT_EQ(D.StateToPixel(M.Temp, M.SpecHum), M.Pixel) << M.Temp << " °C, " << M.SpecHum;
    }
    const TMoistAirState S = D.PixelToState(283, 266);
    EXPECT_NEAR(S.Temp, 19.979166, 1e-6);
    EXPECT_NEAR(S.SpecHum, 0.01000781, 1e-8);
    const TMollierCalculate& Calc = TMollierCalculate::GetInstance();
    EXPECT_DOUBLE_EQ(S.RelHum, Calc.RelHumFromTempSpecHum(S.Temp, S.SpecHum));
    EXPECT_DOUBLE_EQ(S.Enthalpy, Calc.Enthalpy(S.Temp, S.SpecHum));
}

TEST(TMollierDrawLayoutTest, SizesFollowTheWidthAboveTheirFloors) {
    struct Case {
        int Width;
        int Thick, Thin, Process, Label, RelHum, Marker;
    };
    const Case Cases[] = {
        {4672, 6, 2, 14, 85, 68, 50}, // the reference width: nominal sizes
        {2336, 3, 1, 7, 42, 34, 25},  // half: 42.5 goes to the even 42
        {200, 2, 1, 2, 14, 11, 9},    // the floors
    };
    for (const Case& K : Cases) {
        TChart C(K.Width, 6774);
        C.Render();
        EXPECT_EQ(C.Draw.PenThick(), K.Thick) << K.Width;
        EXPECT_EQ(C.Draw.PenThin(), K.Thin) << K.Width;
        EXPECT_EQ(C.Draw.PenProcess(), K.Process) << K.Width;
        EXPECT_EQ(C.Draw.FontLabel(), K.Label) << K.Width;
        EXPECT_EQ(C.Draw.FontAxis(), K.Label) << K.Width;
        EXPECT_EQ(C.Draw.FontRelHum(), K.RelHum) << K.Width;
        EXPECT_EQ(C.Draw.MarkerSize(), K.Marker) << K.Width;
    }
}

TEST(TMollierDrawLayoutTest, TopRightCornerIsLoweredOntoTheSaturationCurve) {
    TChart C;
    C.Options.SetMaxTemp(30);
    C.Render();
    EXPECT_DOUBLE_EQ(C.Draw.MaxSpecHum(), TMollierCalculate::GetInstance().SpecHumFromTempRelHum(30, 100));
    EXPECT_NEAR(C.Draw.MaxSpecHum(), 0.027, 0.0005);
    EXPECT_EQ(C.Draw.MaxTemp(), 30);
    EXPECT_EQ(C.Draw.MinTemp(), -20);
    EXPECT_EQ(C.Options.MaxSpecHum(), 0.035); // the user's value stays
}

TEST(TMollierDrawLayoutTest, BottomLeftCornerIsRaisedToTheDewPointOfTheLowestHumidity) {
    TChart C;
    C.Options.SetMinSpecHum(0.005);
    C.Render();
    EXPECT_DOUBLE_EQ(C.Draw.MinTemp(), TMollierCalculate::GetInstance().TempFromSpecHumRelHum(0.005, 100));
    EXPECT_NEAR(C.Draw.MinTemp(), 4, 0.5);
    EXPECT_EQ(C.Options.MinTemp(), -20);
    // The origin is placed over W - 2 margins while the scale spans 6.4
    // margins, so the left edge lies right of the margin.
    EXPECT_EQ(C.Draw.OriginX(), 0);
    EXPECT_EQ(C.Draw.StateToPixel(20, 0.005).X, 107);
    EXPECT_EQ(C.Draw.StateToPixel(20, 0.035).X, 747);
    // Mapping a pixel and back lands on the same pixel anywhere on the chart.
    for (int X = 107; X <= 747; X += 64) {
        for (int Y = 60; Y <= 540; Y += 48) {
            const TMoistAirState S = C.Draw.PixelToState(X, Y);
            EXPECT_EQ(C.Draw.StateToPixel(S.Temp, S.SpecHum), (TPoint{X, Y}));
        }
    }
}

TEST(TMollierDrawLayoutTest, NothingIsDrawnWhenThereIsNoChart) {
    struct Case {
        const char* What;
        int Width, Height, Left;
        bool Document, Canvas;
        double MinSpecHum, MaxSpecHum;
    };
    const Case Cases[] = {
        {"no document", 800, 600, 0, false, true, 0, 0.035},
        {"no canvas", 800, 600, 0, true, false, 0, 0.035},
        {"width below 8", 7, 600, 0, true, true, 0, 0.035},
        {"height below 10", 800, 9, 0, true, true, 0, 0.035},
        {"negative offset", 800, 600, -1, true, true, 0, 0.035},
        // The dew point of 0.1 kg/kg lies above 50 °C.
        {"lowest humidity beyond the top", 800, 600, 0, true, true, 0.1, 0.2},
    };
    for (const Case& K : Cases) {
        TChart C(K.Width, K.Height);
        C.Options.SetMaxSpecHum(K.MaxSpecHum);
        C.Options.SetMinSpecHum(K.MinSpecHum);
        C.Draw.SetCanvas(K.Canvas ? &C.Canvas : nullptr, K.Left, 0, K.Width, K.Height);
        if (!K.Document) {
            C.Draw.Document = nullptr;
        }
        C.Render();
        EXPECT_EQ(C.Canvas.DrawingCount(), 0) << K.What;
        // The titles are built all the same; without a translator they are
        // the keys.
        EXPECT_EQ(C.Draw.TitleTemp(), "TXT_TEMP_DRY_BULB, T, (°C)") << K.What;
        EXPECT_EQ(C.Draw.TitleSpecHum(), "TXT_SPEC_HUM, x, (kg/kg)") << K.What;
        EXPECT_EQ(C.Draw.TitleEnthalpy(), "TXT_ENTHALPY, i, (kJ/kg)") << K.What;
    }
}

TEST(TMollierDrawLayoutTest, DrawsAtTheDocumentsPressure) {
    TChart C;
    C.Doc.Pressure = 90;
    TMollierCalculate::GetInstance().Pressure = 101.3;
    C.Render();
    EXPECT_EQ(TMollierCalculate::GetInstance().Pressure, 90);
    C.Doc.SetPressure(101.3);
}

} // namespace
} // namespace psykrona
