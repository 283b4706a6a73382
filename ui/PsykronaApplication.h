#pragma once

#include <QApplication>

namespace psykrona {

// The program's application object. A failure that an event handler lets
// through is shown with its own message (ReportFailure), and the program
// goes on with the next event. Sets the program's name and its small
// dialog font.
class TPsykronaApplication : public QApplication {
    Q_OBJECT

public:
    TPsykronaApplication(int& Argc, char** Argv);

    bool notify(QObject* Receiver, QEvent* Event) override;
};

} // namespace psykrona
