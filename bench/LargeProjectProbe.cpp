// A plain program for bench/large_project.sh, which runs it under
// /usr/bin/time beside xmllint:
//   large_project_probe generate POINTS OUT.pkx   writes a project of POINTS
//                                                 points (seed 19)
//   large_project_probe open IN.pkx               opens it
//   large_project_probe save IN.pkx OUT.pkx       opens it and saves it again
// Each prints the seconds its timed step took (open, or the save alone), the
// number of points, so the script can check the work was done, and the
// step's processor seconds (user and system): a save's flush to the disk
// is waiting, not work.
#include "bench/BenchProject.h"
#include "engine/Main.h"
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <sys/resource.h>
#include <string>

namespace psykrona {
namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point Start) {
    return std::chrono::duration<double>(Clock::now() - Start).count();
}

// Processor seconds the process has used, user and system.
double Processor() {
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    auto Seconds = [](const timeval& T) { return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_usec) * 1e-6; };
    return Seconds(Usage.ru_utime) + Seconds(Usage.ru_stime);
}


int Run(int Argc, char** Argv) {
    SetDecimalSeparator('.');
    const std::string Mode = Argc > 1 ? Argv[1] : "";
    TDomImplementation Dom;
    TXmlParser Parser;
    TMollierFileHandling Files(Dom, Parser);
    TMain Doc;
    Files.FProject = &Doc;
    if (Mode == "generate" && Argc == 4) {
        Doc = bench::EditorProject(std::stoi(Argv[2]), 19);
        Files.SaveProjectAs(Argv[3]);
        std::printf("generated %d\n", Doc.PointCount());
        return 0;
    }
    if ((Mode == "open" && Argc == 3) || (Mode == "save" && Argc == 4)) {
        const double Used = Processor();
        const Clock::time_point Start = Clock::now();
        Files.OpenProject(Argv[2]);
        const double Open = Since(Start);
        if (Mode == "open") {
            std::printf("%.6f %d %.6f\n", Open, Doc.PointCount(), Processor() - Used);
            return 0;
        }
        const double UsedBefore = Processor();
        const Clock::time_point Saving = Clock::now();
        Files.SaveProjectAs(Argv[3]);
        std::printf("%.6f %d %.6f\n", Since(Saving), Doc.PointCount(), Processor() - UsedBefore);
        return 0;
    }
    std::fprintf(stderr, "usage: large_project_probe generate POINTS OUT | open IN | save IN OUT\n");
    return 2;
}

} // namespace
} // namespace psykrona

int main(int Argc, char** Argv) {
    try {
        return psykrona::Run(Argc, Argv);
    } catch (const std::exception& E) {
        std::fprintf(stderr, "%s\n", E.what());
        return 1;
    }
}
