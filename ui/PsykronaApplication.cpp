#include "ui/PsykronaApplication.h"

#include "ui/DialogLayout.h"
#include "ui/UserDialogs.h"

#include <stdexcept>

namespace psykrona {

TPsykronaApplication::TPsykronaApplication(int& Argc, char** Argv) : QApplication(Argc, Argv) {
    setApplicationName(QStringLiteral("Psykrona"));
    setFont(DialogFont());
}

bool TPsykronaApplication::notify(QObject* Receiver, QEvent* Event) {
    try {
        return QApplication::notify(Receiver, Event);
    } catch (const std::exception& Failure) {
        ReportFailure(Failure);
    } catch (...) {
        ReportFailure(std::runtime_error("Unknown failure"));
    }
    return false;
}

} // namespace psykrona
