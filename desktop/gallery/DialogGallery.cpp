// dialog_gallery DIALOG LANGUAGE [SECONDS [PAGE]]: shows one of our dialogs, filled
// as the program would, for looking at it and taking screenshots (for example
// under xvfb-run with "import -window root"). DIALOG is chart, intro,
// languages, about, print or preview (the last two on the example project
// "summer-cooling.pkx"); LANGUAGE a position in the shipped list (0 English,
// 1 Swedish, 2 Hungarian). The language files are copied into a temporary
// folder first, so the shipped list is never rewritten. Ends after SECONDS
// (default 5).
#include "chart/FormOptionsChart.h"
#include "chart/MollierDraw.h"
#include "chart/MollierOptions.h"
#include "engine/Main.h"
#include "files/MollierFileHandling.h"
#include "localisation/FormIntro2.h"
#include "localisation/FormLanguages.h"
#include "localisation/Translator.h"
#include "printing/FormPreview.h"
#include "printing/FormPrint.h"
#include "printing/MollierPrint.h"
#include "xml/FileAccess.h"
#include "ui/FormVersion.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
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
    // Declared first: the dialogs borrow them.
    auto Doc = std::make_unique<TMain>();
    auto Draw = std::make_unique<TMollierDraw>();
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
    } else if (Kind == QLatin1String("print") || Kind == QLatin1String("preview")) {
        const std::string Bytes = ReadFileBytes(PSYKRONA_SOURCE_DIR "/data/examples/summer-cooling.pkx");
        TMollierFileHandling::ProjectFromXml(Bytes, *Doc, "summer-cooling.pkx");
        Draw->Options = &Options;
        Draw->Document = Doc.get();
        auto* Print = new TfrmPrint;
        Print->FDraw = Draw.get();
        Print->FDocument = Doc.get();
        Print->FPrintLayout->FProgramDir = PSYKRONA_SOURCE_DIR "/data/";
        Print->frmPreview = new TfrmPreview(Print);
        Print->edtProject->setText(QStringLiteral("Office block, 2nd floor"));
        Print->edtDate->setText(QStringLiteral("2026-12-06"));
        Print->edtSignature->setText(QStringLiteral("A. Engineer"));
        Print->edtCompany->setText(QStringLiteral("Psykrona AB"));
        Dialog.reset(Print);
        if (Kind == QLatin1String("preview")) {
            QTimer::singleShot(300, Print, [Print] { Print->btnPreviewClick(); });
            if (Args.size() > 4 && Args[4] == QLatin1String("2")) {
                QTimer::singleShot(800, Print, [Print] { Print->frmPreview->btnPage2Click(); });
            }
        }
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
