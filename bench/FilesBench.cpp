// Saving and opening project files of 10 000 points, written in full
// precision as the editor leaves them.
#include "bench/BenchProject.h"
#include "engine/Main.h"
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace psykrona {
namespace {

std::string TempName() {
    char Name[] = "/tmp/psykrona-bench-XXXXXX.pkx";
    const int Fd = mkstemps(Name, 4);
    close(Fd);
    return Name;
}

void BM_SaveProject(benchmark::State& State) {
    SetDecimalSeparator('.');
    TMain Doc = bench::EditorProject(static_cast<int>(State.range(0)), 2);
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
    TMain Doc = bench::EditorProject(static_cast<int>(State.range(0)), 2);
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
