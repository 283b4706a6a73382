// Psykrona: the Mollier diagram of moist air for ventilation engineers.
#include "ui/CommandLine.h"
#include "ui/ProgramStart.h"
#include "ui/PsykronaApplication.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // --help and --version are answered on the terminal, without a display.
    const psykrona::TCommandLineAnswer Answer =
        psykrona::AnswerCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (Answer.Exit) {
        std::fputs(Answer.Out.c_str(), stdout);
        return Answer.ExitCode;
    }
    psykrona::TPsykronaApplication App(argc, argv);
    // What Qt leaves of the command line; after "--" everything is a file name.
    std::vector<std::string> Arguments;
    const QStringList All = QApplication::arguments();
    bool Options = true;
    for (qsizetype I = 1; I < All.size(); ++I) {
        if (Options && All[I] == QLatin1String("--")) {
            Options = false;
            continue;
        }
        Arguments.push_back(All[I].toStdString());
    }
    return psykrona::RunPsykrona(Arguments);
}
