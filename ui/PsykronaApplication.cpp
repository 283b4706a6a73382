#include "ui/PsykronaApplication.h"

#include "ui/DialogLayout.h"
#include "ui/UserDialogs.h"

#include <clocale>
#include <stdexcept>

namespace psykrona {

TPsykronaApplication::TPsykronaApplication(int& Argc, char** Argv) : QApplication(Argc, Argv) {
    setApplicationName(QStringLiteral("Psykrona"));
    // Qt takes the user's locale for the C library too. Our number texts
    // put the user's separator in themselves and expect C's formatting and
    // parsing to use ".".
    std::setlocale(LC_NUMERIC, "C");
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
