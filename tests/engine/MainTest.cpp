#include "engine/Main.h"

#include "engine/Errors.h"
#include "engine/MollierCalculate.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace psykrona {
namespace {

std::string Names(const TMain& Doc) {
    std::string N;
    for (const TMollierPoint& P : Doc.Points) {
        N.append(P.Name).append(std::to_string(P.Number)).append(" ");
    }
    return N;
}

TMain DocumentOf(int Count) {
    TMain Doc;
    for (int I = 0; I < Count; ++I) {
        TMollierPoint& P = Doc.AddPoint();
        P.Number = Doc.PointCount();
        P.Name = std::string(1, static_cast<char>('a' + I));
    }
    return Doc;
}

// Numbers are positions after every insert and delete; a position outside
// the list changes nothing; a point keeps its place in memory while others
// come and go around it (the windows hold references to it).
TEST(TMainTest, ListOperationsKeepNumbersAsPositions) {
    TMain Doc = DocumentOf(3);
    EXPECT_EQ(Doc.InsertPoint(1).Number, 1);
    EXPECT_EQ(Names(Doc), "1 a2 b3 c4 ");
    TMollierPoint& Appended = Doc.InsertPoint(Doc.PointCount() + 1);
    Appended.Name = "z";
    Appended.Number = Doc.PointCount();
    Doc.DeletePoint(2);
    EXPECT_EQ(Names(Doc), "1 b2 c3 z4 ");
    for (int Bad : {0, 5, -1}) {
        EXPECT_THROW(Doc.InsertPoint(Bad + (Bad == 5)), std::out_of_range) << Bad;
        EXPECT_THROW(Doc.DeletePoint(Bad), std::out_of_range) << Bad;
    }
    EXPECT_EQ(Names(Doc), "1 b2 c3 z4 ");
    TMollierPoint& Kept = Doc.Points[1];
    for (int I = 0; I < 100; ++I) {
        Doc.InsertPoint(1);
    }
    Doc.DeletePoint(1);
    Kept.Name = "kept";
    EXPECT_EQ(Doc.Points[100].Name, "kept");
    TMain Empty;
    EXPECT_THROW(Empty.DeletePoint(1), std::out_of_range);
}

TEST(TMainTest, CalculateAllStopsAtTheFailingPoint) {
    TMain Doc;
    for (double T : {20.0, 200.0, 25.0}) {
        TMollierPoint& P = Doc.AddPoint();
        P.Temp = T;
        P.RelHum = 50;
        P.Prescribed1 = PROP_TEMP;
        P.Prescribed2 = PROP_RELHUM;
    }
    EXPECT_THROW(Doc.CalculateAll(), ECalculationError);
    EXPECT_GT(Doc.Points[0].SpecHum, 0);
    EXPECT_EQ(Doc.Points[1].SpecHum, 0);
    EXPECT_EQ(Doc.Points[2].SpecHum, 0);
}

// A density that is not finite is a failed calculation, not a value: the
// flow data stay as they were (a saved NaN would not open again).
TEST(TMainTest, ANonFiniteRealDensityChangesNothing) {
    TMain Doc;
    Doc.SetRealDensity(25, 950);
    const double Density = Doc.Density;
    for (auto [Temp, Pressure] : {std::pair{-273.0, 1013.0}, std::pair{-273.0, 0.0}}) {
        EXPECT_THROW(Doc.SetRealDensity(Temp, Pressure), ECalculationError);
        EXPECT_TRUE(Doc.Density == Density && Doc.DensityTemp == 25 && Doc.Pressure == 95);
        EXPECT_EQ(TMollierCalculate::GetInstance().Pressure, 95);
    }
}

} // namespace
} // namespace psykrona
