// The program's start as a user sees it, ended at the first paint of the
// start-up window: the same application object and the same run as the
// program, with an event filter that exits once that window has painted.
// Run by bench/start.sh against bench_start_minimal.
#include "localisation/FormIntro2.h"
#include "ui/ProgramStart.h"
#include "ui/PsykronaApplication.h"

#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct TExitAtIntroPaint : QObject {
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        if (Event->type() == QEvent::Paint && qobject_cast<psykrona::TfrmIntro*>(Watched) != nullptr) {
            std::fflush(stdout);
            std::_Exit(0);
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    // The program directory (with the language files) is the first argument.
    if (argc < 2) {
        std::fputs("usage: start_probe PROGRAM_DIR\n", stderr);
        return 2;
    }
    const std::string ProgramDir = std::string(argv[1]) + "/";
    psykrona::TPsykronaApplication App(argc, argv);
    TExitAtIntroPaint Filter;
    App.installEventFilter(&Filter);
    psykrona::RunPsykrona({}, ProgramDir);
    return 1; // the start-up window never painted
}
