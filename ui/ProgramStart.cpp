#include "ui/ProgramStart.h"

#include "chart/FormOptionsChart.h"
#include "localisation/FormIntro2.h"
#include "localisation/FormLanguages.h"
#include "printing/FormPreview.h"
#include "printing/FormPrint.h"
#include "qt/Help.h"
#include "qt/Shell.h"
#include "ui/FormEditPoint.h"
#include "ui/FormMain.h"
#include "ui/FormVersion.h"
#include "ui/UserDialogs.h"

#include <QApplication>

#include <memory>

namespace psykrona {

int RunPsykrona(const std::vector<std::string>& Arguments, const std::string& ProgramDir) {
    std::unique_ptr<TfrmMain> frmMain;
    try {
        frmMain = std::make_unique<TfrmMain>(ProgramDir);
    } catch (const std::exception& Failure) {
        ReportFailure(Failure);
        return 1;
    }
    // The other windows live as long as the main window, which owns them.
    TPsykronaForms& Forms = frmMain->Forms;
    Forms.frmPreview = new TfrmPreview(frmMain.get());
    Forms.frmEditPoint = new TfrmEditPoint(frmMain.get());
    Forms.frmOptionsChart = new TfrmOptionsChart(frmMain.get());
    Forms.frmVersion = new TfrmVersion(frmMain.get());
    Forms.frmPrint = new TfrmPrint(frmMain.get());
    Forms.frmPrint->frmPreview = Forms.frmPreview;
    Forms.frmLanguages = new TfrmLanguages(frmMain.get());
    Forms.frmIntro = new TfrmIntro(frmMain.get());
    frmMain->OnHelp = [] {
        TQtShell Shell;
        ShowHelp(Shell);
    };
    if (!Arguments.empty()) {
        frmMain->StartFileName = Arguments.front();
    }
    // Shown from the running loop: its start-up step may end the program,
    // which only a running loop can do.
    QMetaObject::invokeMethod(frmMain.get(), &TfrmMain::showMaximized, Qt::QueuedConnection);
    return QApplication::exec();
}

} // namespace psykrona
