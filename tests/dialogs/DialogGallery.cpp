// dialog_gallery DIALOG LANGUAGE [SECONDS]: shows one of our dialogs, filled
// as the program would, for looking at it and taking screenshots (for example
// under xvfb-run with "import -window root"). DIALOG is chart, intro,
// languages or about; LANGUAGE a position in the shipped list (0 English,
// 1 Swedish, 2 Hungarian). The language files are copied into a temporary
// folder first, so the shipped list is never rewritten. Ends after SECONDS
// (default 5).
#include "chart/FormOptionsChart.h"
#include "chart/MollierOptions.h"
#include "localisation/FormIntro2.h"
#include "localisation/FormLanguages.h"
#include "localisation/Translator.h"
#include "ui/FormVersion.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <string>

using namespace psykrona;

int main(int argc, char** argv) {
    QApplication App(argc, argv);
    const QStringList Args = QApplication::arguments();
    if (Args.size() < 3) {
        std::fprintf(stderr, "usage: dialog_gallery chart|intro|languages|about LANGUAGE [SECONDS]\n");
        return 2;
    }
    QTemporaryDir Dir;
    const QDir Data(QStringLiteral(PSYKRONA_SOURCE_DIR "/data"));
    for (const char* File : {"Languages.xml", "English.lng", "Swedish.lng", "Hungarian.lng"}) {
        QFile::copy(Data.filePath(QString::fromLatin1(File)), Dir.filePath(QString::fromLatin1(File)));
    }
    TDomImplementation DomImpl;
    TXmlParser Parser(DomImpl);
    TTranslator::CreateInstance(DomImpl, Parser, Dir.path().toStdString() + "/");
    TTranslator::SetLanguage(Args[2].toInt());

    TMollierOptions Options;
    std::unique_ptr<QDialog> Dialog;
    const QString Kind = Args[1];
    if (Kind == QLatin1String("chart")) {
        auto* Chart = new TfrmOptionsChart;
        Chart->Options = &Options;
        Dialog.reset(Chart);
    } else if (Kind == QLatin1String("intro")) {
        Dialog = std::make_unique<TfrmIntro>();
    } else if (Kind == QLatin1String("languages")) {
        Dialog = std::make_unique<TfrmLanguages>();
    } else if (Kind == QLatin1String("about")) {
        Dialog = std::make_unique<TfrmVersion>();
    } else {
        std::fprintf(stderr, "dialog_gallery: unknown dialog '%s'\n", argv[1]);
        return 2;
    }
    Dialog->show();
    QTimer::singleShot(1000 * (Args.size() > 3 ? Args[3].toInt() : 5), &App, &QApplication::quit);
    const int Result = App.exec();
    TTranslator::DestroyInstance();
    return Result;
}
