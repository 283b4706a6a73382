// The moist-air calculator on random states over -20..50 °C and 10..100 %,
// the range an engineer's projects live in.
#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "engine/MollierProcess.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace psykrona {
namespace {

constexpr size_t KStates = 1024;

struct TStates {
    std::vector<double> Temp, RelHum, SpecHum, Enthalpy;
    TStates() {
        std::mt19937_64 Rng(1);
        std::uniform_real_distribution<double> T(-20, 50);
        std::uniform_real_distribution<double> Rh(10, 100);
        const TMollierCalculate& C = TMollierCalculate::GetInstance();
        for (size_t I = 0; I < KStates; ++I) {
            Temp.push_back(T(Rng));
            RelHum.push_back(Rh(Rng));
            SpecHum.push_back(C.SpecHumFromTempRelHum(Temp.back(), RelHum.back()));
            Enthalpy.push_back(C.Enthalpy(Temp.back(), SpecHum.back()));
        }
    }
};

const TStates& States() {
    static const TStates S;
    return S;
}

template <typename F> void Run(benchmark::State& State, F Call) {
    const TStates& S = States();
    size_t I = 0;
    for (auto _ : State) {
        benchmark::DoNotOptimize(Call(S, I));
        I = (I + 1) & (KStates - 1);
    }
}

void BM_SpecHumFromTempRelHum(benchmark::State& State) {
    const TMollierCalculate& C = TMollierCalculate::GetInstance();
    Run(State, [&](const TStates& S, size_t I) { return C.SpecHumFromTempRelHum(S.Temp[I], S.RelHum[I]); });
}
BENCHMARK(BM_SpecHumFromTempRelHum);

void BM_RelHumFromTempSpecHum(benchmark::State& State) {
    const TMollierCalculate& C = TMollierCalculate::GetInstance();
    Run(State, [&](const TStates& S, size_t I) { return C.RelHumFromTempSpecHum(S.Temp[I], S.SpecHum[I]); });
}
BENCHMARK(BM_RelHumFromTempSpecHum);

void BM_TempFromSpecHumRelHum(benchmark::State& State) {
    const TMollierCalculate& C = TMollierCalculate::GetInstance();
    Run(State, [&](const TStates& S, size_t I) { return C.TempFromSpecHumRelHum(S.SpecHum[I], S.RelHum[I]); });
}
BENCHMARK(BM_TempFromSpecHumRelHum);

void BM_TempFromRelHumEnthalpy(benchmark::State& State) {
    const TMollierCalculate& C = TMollierCalculate::GetInstance();
    Run(State, [&](const TStates& S, size_t I) { return C.TempFromRelHumEnthalpy(S.RelHum[I], S.Enthalpy[I]); });
}
BENCHMARK(BM_TempFromRelHumEnthalpy);

// The pair relative humidity and enthalpy solved as it was, by its two
// operations (the search twice), and as SolveFromPair does it now.
void BM_RelHumEnthalpyPairTwoSearches(benchmark::State& State) {
    const TMollierCalculate& C = TMollierCalculate::GetInstance();
    Run(State, [&](const TStates& S, size_t I) {
        return C.TempFromRelHumEnthalpy(S.RelHum[I], S.Enthalpy[I]) +
               C.SpecHumFromRelHumEnthalpy(S.RelHum[I], S.Enthalpy[I]);
    });
}
BENCHMARK(BM_RelHumEnthalpyPairTwoSearches);

void BM_RelHumEnthalpyPair(benchmark::State& State) {
    const TMollierCalculate& C = TMollierCalculate::GetInstance();
    Run(State, [&](const TStates& S, size_t I) {
        TMoistAirState M;
        M.RelHum = S.RelHum[I];
        M.Enthalpy = S.Enthalpy[I];
        C.SolveFromPair(PROP_RELHUM, PROP_ENTHALPY, M);
        return M.Temp + M.SpecHum;
    });
}
BENCHMARK(BM_RelHumEnthalpyPair);

// The wet bulb solves its enthalpy balance by false position; the dew point
// is one reverse table lookup. Compare with SpecHumFromTempRelHum above.
void BM_WetBulb(benchmark::State& State) {
    const TMollierProcess P(TMollierCalculate::DefaultPressure);
    Run(State, [&](const TStates& S, size_t I) { return P.WetBulb(S.Temp[I], S.SpecHum[I]); });
}
BENCHMARK(BM_WetBulb);

void BM_DewPoint(benchmark::State& State) {
    const TMollierProcess P(TMollierCalculate::DefaultPressure);
    Run(State, [&](const TStates& S, size_t I) { return P.DewPoint(S.SpecHum[I]); });
}
BENCHMARK(BM_DewPoint);

// A project of 1000 points prescribed by each of the six pairs in turn.
void BM_CalculateAll1000(benchmark::State& State) {
    const TStates& S = States();
    const int Pairs[6][2] = {{1, 2}, {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4}};
    TMain Doc;
    for (int I = 0; I < 1000; ++I) {
        TMollierPoint& P = Doc.AddPoint();
        P.Number = I + 1;
        P.Temp = S.Temp[I];
        P.RelHum = S.RelHum[I];
        P.SpecHum = S.SpecHum[I];
        P.Enthalpy = S.Enthalpy[I];
        P.Prescribed1 = Pairs[I % 6][0];
        P.Prescribed2 = Pairs[I % 6][1];
    }
    for (auto _ : State) {
        Doc.CalculateAll();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CalculateAll1000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace psykrona

BENCHMARK_MAIN();
