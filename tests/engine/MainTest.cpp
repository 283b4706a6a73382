#include "engine/Main.h"

#include "engine/Errors.h"
#include "engine/MollierCalculate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <unistd.h>

namespace psykrona {
namespace {

std::vector<int> Numbers(const TMain& Doc) {
    std::vector<int> N;
    for (const TMollierPoint& P : Doc.Points) {
        N.push_back(P.Number);
    }
    return N;
}

TMain DocumentOf(int Count) {
    TMain Doc;
    for (int I = 0; I < Count; ++I) {
        TMollierPoint& P = Doc.AddPoint();
        P.Number = Doc.PointCount();
        P.Name = std::to_string(I + 1).insert(0, 1, 'P');
    }
    return Doc;
}

TEST(TMollierPointTest, NewPointHasTheDefaults) {
    TMollierPoint P;
    EXPECT_EQ(P.Name, "");
    EXPECT_EQ(P.Number, 1);
    EXPECT_EQ(P.Temp, 0);
    EXPECT_EQ(P.SpecHum, 0);
    EXPECT_EQ(P.RelHum, 0);
    EXPECT_EQ(P.Enthalpy, 0);
    EXPECT_EQ(P.Prescribed1, 0);
    EXPECT_EQ(P.Prescribed2, 0);
    EXPECT_TRUE(P.ShowInChart);
    EXPECT_TRUE(P.LineToNext);
}

TEST(TMainTest, NewDocumentHasTheNormalFlowDataAndSetsTheCalculator) {
    TMollierCalculate::GetInstance().Pressure = 80;
    TMain Doc;
    EXPECT_EQ(Doc.PointCount(), 0);
    EXPECT_EQ(Doc.AirFlow, 0);
    EXPECT_EQ(Doc.Density, 1.2);
    EXPECT_EQ(Doc.DensityTemp, 20);
    EXPECT_EQ(Doc.Pressure, 101.3);
    EXPECT_EQ(TMollierCalculate::GetInstance().Pressure, 101.3);
}

TEST(TMainTest, ListOperationsKeepNumbersAsPositions) {
    TMain Doc = DocumentOf(3);
    TMollierPoint& New = Doc.InsertPoint(1);
    EXPECT_EQ(New.Number, 1);
    EXPECT_EQ(Numbers(Doc), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(Doc.Points[1].Name, "P1");

    TMollierPoint& Appended = Doc.InsertPoint(Doc.PointCount() + 1);
    Appended.Number = Doc.PointCount();
    EXPECT_EQ(Numbers(Doc), (std::vector<int>{1, 2, 3, 4, 5}));

    Doc.DeletePoint(2);
    EXPECT_EQ(Numbers(Doc), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(Doc.Points[1].Name, "P2");

    TMain One = DocumentOf(1);
    One.DeletePoint(1);
    EXPECT_EQ(One.PointCount(), 0);
    EXPECT_TRUE(One.Points.empty());
}

TEST(TMainTest, PositionsOutsideTheListChangeNothing) {
    TMain Doc = DocumentOf(2);
    EXPECT_THROW(Doc.InsertPoint(0), std::out_of_range);
    EXPECT_THROW(Doc.InsertPoint(4), std::out_of_range);
    EXPECT_THROW(Doc.DeletePoint(0), std::out_of_range);
    EXPECT_THROW(Doc.DeletePoint(3), std::out_of_range);
    EXPECT_THROW(Doc.DeletePoint(-1), std::out_of_range);
    EXPECT_EQ(Numbers(Doc), (std::vector<int>{1, 2}));
    EXPECT_EQ(Doc.Points[0].Name, "P1");
    TMain Empty;
    EXPECT_THROW(Empty.DeletePoint(1), std::out_of_range);
}

TEST(TMainTest, PointsStayPutWhileOthersComeAndGo) {
    TMain Doc = DocumentOf(2);
    TMollierPoint& Edited = Doc.Points[1];
    for (int I = 0; I < 100; ++I) {
        Doc.InsertPoint(1);
    }
    Doc.DeletePoint(1);
    Edited.Name = "kept";
    EXPECT_EQ(Doc.Points[Doc.PointCount() - 1].Name, "kept");
}

TEST(TMainTest, ProcessQuantities) {
    TMain Doc;
    Doc.AirFlow = 1;
    Doc.Density = 1.2;
    EXPECT_DOUBLE_EQ(Doc.Power(20, 40), 24);
    EXPECT_DOUBLE_EQ(Doc.Water(0.005, 0.010), 0.36);
    EXPECT_DOUBLE_EQ(Doc.Water(0.010, 0.005), -0.36);
    EXPECT_GT(Doc.SensiblePower(10, 30, 0.006, 0.006), 0);
    Doc.AirFlow = 0;
    EXPECT_EQ(Doc.Power(20, 40), 0);
    EXPECT_EQ(Doc.SensiblePower(10, 30, 0.006, 0.009), 0);
    EXPECT_EQ(Doc.Water(0.005, 0.010), 0);
}

TEST(TMainTest, RealDensity) {
    EXPECT_NEAR(TMain::RealDensity(20, 1013), 1.2, 1e-12);
    EXPECT_NEAR(TMain::RealDensity(0, 1013), 351.6 / 273, 1e-12);
    EXPECT_NEAR(TMain::RealDensity(0, 1013), 1.28791, 1e-5);
}

TEST(TMainTest, CalculateAllKeepsPrescribedValuesAtTheNewPressure) {
    TMain Doc;
    TMollierPoint& A = Doc.AddPoint();
    A.Temp = 20;
    A.RelHum = 50;
    A.Prescribed1 = 3; // reverse order is the same pair
    A.Prescribed2 = 1;
    TMollierPoint& Loose = Doc.AddPoint();
    Loose.Temp = 5;
    Loose.SpecHum = 42;
    Doc.CalculateAll();
    const double X1013 = A.SpecHum;
    EXPECT_NEAR(X1013, 0.0072585, 5e-8);
    Doc.SetPressure(90);
    EXPECT_EQ(TMollierCalculate::GetInstance().Pressure, 90);
    Doc.CalculateAll();
    EXPECT_EQ(A.Temp, 20);
    EXPECT_EQ(A.RelHum, 50);
    EXPECT_GT(A.SpecHum, X1013);
    EXPECT_EQ(Loose.SpecHum, 42); // no complete pair: untouched
    Doc.SetPressure(101.3);
}

TEST(TMainTest, CalculateAllStopsAtTheFailingPoint) {
    TMain Doc;
    TMollierPoint* P[3];
    const double Temps[3] = {20, 200, 25};
    for (int I = 0; I < 3; ++I) {
        P[I] = &Doc.AddPoint();
        P[I]->Temp = Temps[I];
        P[I]->RelHum = 50;
        P[I]->Prescribed1 = 1;
        P[I]->Prescribed2 = 3;
    }
    EXPECT_THROW(Doc.CalculateAll(), ECalculationError);
    EXPECT_GT(P[0]->SpecHum, 0);
    EXPECT_EQ(P[1]->SpecHum, 0);
    EXPECT_EQ(P[2]->SpecHum, 0);
}

TEST(TMainTest, ProgramFacts) {
    EXPECT_EQ(TMain::GetVersion(), "2.1b");
    const std::string Dir = TMain::GetProgramDir();
    ASSERT_FALSE(Dir.empty());
    EXPECT_EQ(Dir.back(), '/');
    EXPECT_EQ(Dir.front(), '/');
    EXPECT_EQ(access((Dir + "engine_tests").c_str(), X_OK), 0) << Dir;
}

} // namespace
} // namespace psykrona
