#pragma once

// The project the file benchmarks open and save: points as the editor
// leaves them, a prescribed pair and two computed values in full precision,
// every third point starting a new process line.
#include "engine/Main.h"

#include <random>
#include <string>

namespace psykrona::bench {

inline TMain EditorProject(int Count, unsigned Seed) {
    std::mt19937_64 Rng(Seed);
    std::uniform_real_distribution<double> Temp(-20, 50);
    std::uniform_real_distribution<double> RelHum(10, 100);
    TMain Doc;
    Doc.AirFlow = 2.5;
    for (int I = 0; I < Count; ++I) {
        TMollierPoint& P = Doc.AddPoint();
        P.Number = I + 1;
        P.Name = "Point " + std::to_string(I + 1);
        P.Temp = Temp(Rng);
        P.RelHum = RelHum(Rng);
        P.Prescribed1 = 1;
        P.Prescribed2 = 3;
        P.LineToNext = I % 3 != 0;
    }
    Doc.CalculateAll();
    return Doc;
}

} // namespace psykrona::bench
