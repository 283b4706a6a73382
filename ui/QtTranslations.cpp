#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

#include <memory>

namespace psykrona {

bool FollowLanguageInQtDialogs(const std::string& Code) {
    static std::unique_ptr<QTranslator> Installed;
    if (Installed) {
        QCoreApplication::removeTranslator(Installed.get());
        Installed.reset();
    }
    const QString Folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QString Suffix = QStringLiteral("_") + QString::fromStdString(Code);
    for (const char* Catalogue : {"qtbase", "qt"}) {
        auto Translator = std::make_unique<QTranslator>();
        if (!Code.empty() && Translator->load(QString::fromLatin1(Catalogue) + Suffix, Folder)) {
            QCoreApplication::installTranslator(Translator.get());
            Installed = std::move(Translator);
            return true;
        }
    }
    return false;
}

} // namespace psykrona
