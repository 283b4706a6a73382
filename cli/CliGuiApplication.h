#pragma once

// The Qt application object that drawing commands of psykrona-cli need for
// fonts and printing, on the offscreen platform unless the caller chose
// another, so that the commands run without a display.
#include "cli/CliOutput.h"

#include <QGuiApplication>
#include <QString>

#include <cstdio>

namespace psykrona {

// The commands report their own failures; Qt's notes about the session (no
// runtime directory on a server, say) would only confuse a script.
inline void CliQtMessages(QtMsgType Type, const QMessageLogContext&, const QString& Message) {
    if (Type == QtCriticalMsg || Type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", Escaped(Message.toStdString()).c_str());
    }
}

inline void EnsureCliGuiApplication() {
    if (QGuiApplication::instance() != nullptr) {
        return;
    }
    qInstallMessageHandler(CliQtMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int Argc = 1;
    static char Name[] = "psykrona-cli";
    static char* Argv[] = {Name, nullptr};
    static QGuiApplication App(Argc, Argv);
}

} // namespace psykrona
