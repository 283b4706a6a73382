#pragma once

#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"

#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>

namespace psykrona::test {

// Adds a point fixed by its temperature and one of humidity ratio or
// relative humidity (Prop2), numbered after the others and calculated at the
// document's pressure.
inline TMollierPoint& AddCalculatedPoint(TMain& Doc, const std::string& Name, double Temp, int Prop2, double Value) {
    TMollierPoint& P = Doc.AddPoint();
    P.Number = Doc.PointCount();
    P.Name = Name;
    P.Temp = Temp;
    (Prop2 == PROP_RELHUM ? P.RelHum : P.SpecHum) = Value;
    P.Prescribed1 = PROP_TEMP;
    P.Prescribed2 = Prop2;
    Doc.CalculateAll();
    return P;
}

// The project file of Count points at random over the default chart, each
// prescribed by temperature and relative humidity, every other one joined to
// the next: what a large project looks like to the windows.
inline std::string RandomProjectXml(int Count, unsigned Seed) {
    TMain Doc;
    const TMollierCalculate& Calc = TMollierCalculate::GetInstance();
    std::mt19937 Rng(Seed);
    std::uniform_real_distribution<double> Temp(-20, 50), RelHum(5, 100);
    for (int I = 0; I < Count; ++I) {
        TMollierPoint& P = Doc.AddPoint();
        P.Number = I + 1;
        P.Name = std::string("Room ").append(std::to_string(I + 1));
        P.Temp = std::round(Temp(Rng) * 10) / 10;
        P.RelHum = std::round(RelHum(Rng));
        P.SpecHum = Calc.SpecHumFromTempRelHum(P.Temp, P.RelHum);
        P.Enthalpy = Calc.Enthalpy(P.Temp, P.SpecHum);
        P.Prescribed1 = PROP_TEMP;
        P.Prescribed2 = PROP_RELHUM;
        P.LineToNext = I % 2 == 0;
    }
    Doc.AirFlow = 2.5;
    return TMollierFileHandling::ProjectToXml(Doc);
}

// Any double a document may hold: mostly ordinary magnitudes, and now and
// then any bit pattern, the largest doubles (whose 15-digit text
// overflows), subnormals, infinities or not-a-number.
inline double AnyDouble(std::mt19937_64& Rng) {
    using L = std::numeric_limits<double>;
    static const std::array<double, 10> Extremes = {L::max(), -L::max(), 1.79769313486231e308, 1.797693134862315e308,
                                                    L::min(), L::denorm_min(), L::infinity(), -L::infinity(),
                                                    L::quiet_NaN(), -0.0};
    const auto Kind = Rng() % 100;
    if (Kind < 2) {
        return std::bit_cast<double>(static_cast<std::uint64_t>(Rng()));
    }
    if (Kind < 4) {
        return Extremes[Rng() % Extremes.size()];
    }
    return std::uniform_real_distribution<double>(-1000, 1000)(Rng) * std::pow(10.0, static_cast<int>(Rng() % 31) - 12);
}

// A name made of pieces that need care in a file: markup, quotes, line
// ends, control characters, non-ASCII letters, the end of a CDATA section.
inline std::string AnyName(std::mt19937_64& Rng) {
    static const char* const Pieces[] = {"Fan", " ", "<", ">", "&", "\"", "'", "\t", "\n", "]]>",
                                         "\xC3\xA5\xC3\xA4\xC3\xB6", "\xC5\x91", "\xE2\x82\xAC", "1.5", "&#38;"};
    std::string Name;
    for (auto N = Rng() % 6; N > 0; --N) {
        Name += Pieces[Rng() % std::size(Pieces)];
    }
    return Name;
}

// A project of up to MaxPoints points with any values, names and flags.
inline TMain RandomProject(std::mt19937_64& Rng, int MaxPoints) {
    TMain Doc;
    Doc.AirFlow = AnyDouble(Rng);
    Doc.Density = AnyDouble(Rng);
    Doc.DensityTemp = AnyDouble(Rng);
    Doc.SetPressure(AnyDouble(Rng));
    for (auto I = Rng() % static_cast<unsigned>(MaxPoints + 1); I > 0; --I) {
        TMollierPoint& P = Doc.AddPoint();
        P.Number = Doc.PointCount();
        P.Name = AnyName(Rng);
        P.Temp = AnyDouble(Rng);
        P.SpecHum = AnyDouble(Rng);
        P.RelHum = AnyDouble(Rng);
        P.Enthalpy = AnyDouble(Rng);
        P.Prescribed1 = static_cast<int>(Rng() % 5);
        P.Prescribed2 = static_cast<int>(Rng() % 5);
        P.ShowInChart = Rng() % 2 == 0;
        P.LineToNext = Rng() % 2 == 0;
    }
    return Doc;
}

// What a project holds, one line, each number by Text: ShortestText to
// compare exactly, FloatToStr to compare the 15 digits a file keeps.
inline std::string ProjectSummary(const TMain& Doc, std::string (*Text)(double) = ShortestText) {
    std::string S = Text(Doc.AirFlow) + " " + Text(Doc.DensityTemp) + " " + Text(Doc.Pressure) + " " + Text(Doc.Density);
    for (const TMollierPoint& P : Doc.Points) {
        S += " | " + std::to_string(P.Number) + " '" + P.Name + "' " + Text(P.Temp) + " " + Text(P.SpecHum) + " " +
             Text(P.RelHum) + " " + Text(P.Enthalpy) + " " + std::to_string(P.Prescribed1) +
             std::to_string(P.Prescribed2) + (P.ShowInChart ? " show" : "") + (P.LineToNext ? " line" : "");
    }
    return S;
}

} // namespace psykrona::test
