// Saving and opening project files of 10 000 points, written in full
// precision as the editor leaves them.
#include "engine/Main.h"
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <random>

namespace psykrona {
namespace {

TMain Project(int Count) {
    std::mt19937_64 Rng(2);
    std::uniform_real_distribution<double> T(-20, 50);
    std::uniform_real_distribution<double> Rh(10, 100);
    TMain Doc;
    Doc.AirFlow = 2.5;
    for (int I = 0; I < Count; ++I) {
        TMollierPoint& P = Doc.AddPoint();
        P.Number = I + 1;
        P.Name = "Point " + std::to_string(I + 1);
        P.Temp = T(Rng);
        P.RelHum = Rh(Rng);
        P.Prescribed1 = 1;
        P.Prescribed2 = 3;
    }
    Doc.CalculateAll();
    return Doc;
}

std::string TempName() {
    char Name[] = "/tmp/psykrona-bench-XXXXXX.pkx";
    const int Fd = mkstemps(Name, 4);
    close(Fd);
    return Name;
}

void BM_SaveProject(benchmark::State& State) {
    SetDecimalSeparator('.');
    TMain Doc = Project(static_cast<int>(State.range(0)));
    TDomImplementation Dom;
    TXmlParser Parser;
    TMollierFileHandling Files(Dom, Parser);
    Files.FProject = &Doc;
    Files.FFileName = TempName();
    for (auto _ : State) {
        Files.SaveProject();
    }
    unlink(Files.FFileName.c_str());
}
BENCHMARK(BM_SaveProject)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_OpenProject(benchmark::State& State) {
    SetDecimalSeparator('.');
    TMain Doc = Project(static_cast<int>(State.range(0)));
    TDomImplementation Dom;
    TXmlParser Parser;
    TMollierFileHandling Files(Dom, Parser);
    Files.FProject = &Doc;
    const std::string Name = TempName();
    Files.SaveProjectAs(Name);
    for (auto _ : State) {
        TMain Fresh;
        Files.FProject = &Fresh;
        Files.OpenProject(Name);
        benchmark::DoNotOptimize(Fresh.PointCount());
    }
    unlink(Name.c_str());
}
BENCHMARK(BM_OpenProject)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace psykrona

BENCHMARK_MAIN();
