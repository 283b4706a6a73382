#include "qt/Shell.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace psykrona {

void TQtShell::OpenDocument(const std::string& Path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(Path)));
}

} // namespace psykrona
