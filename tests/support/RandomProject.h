#pragma once

#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "files/MollierFileHandling.h"

#include <cmath>
#include <random>
#include <string>

namespace psykrona::test {

// The project file of Count points at random over the default chart, each
// prescribed by temperature and relative humidity, every other one joined to
// the next: what a large project looks like to the windows.
inline std::string RandomProjectXml(int Count, unsigned Seed) {
    TMain Doc;
    const TMollierCalculate& Calc = TMollierCalculate::GetInstance();
    std::mt19937 Rng(Seed);
    std::uniform_real_distribution<double> Temp(-20, 50);
    std::uniform_real_distribution<double> RelHum(5, 100);
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

} // namespace psykrona::test
