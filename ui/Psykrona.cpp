// Psykrona: the Mollier diagram of moist air for ventilation engineers.
#include "ui/ProgramStart.h"
#include "ui/PsykronaApplication.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    psykrona::TPsykronaApplication App(argc, argv);
    std::vector<std::string> Arguments;
    const QStringList All = QApplication::arguments();
    for (qsizetype I = 1; I < All.size(); ++I) {
        Arguments.push_back(All[I].toStdString());
    }
    return psykrona::RunPsykrona(Arguments);
}
