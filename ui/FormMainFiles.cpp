// The main window's file, option and help commands.
#include "ui/FormMain.h"

#include "chart/FormOptionsChart.h"
#include "engine/Main.h"
#include "files/MollierFileHandling.h"
#include "files/TextEncoding.h"
#include "localisation/FormLanguages.h"
#include "printing/FormPrint.h"
#include "qt/ChartPicture.h"
#include "ui/DialogLayout.h"
#include "ui/FormVersion.h"
#include "ui/UserDialogs.h"

#include <QDropEvent>
#include <QMimeData>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QUrl>

#include <filesystem>
#include <stdexcept>
#include <utility>

namespace psykrona {

namespace {

// A project file that could not be written, with its name; the message is
// the failure's own.
class EProjectNotWritten : public std::runtime_error {
public:
    EProjectNotWritten(const std::exception& Cause, std::string Name)
        : std::runtime_error(Cause.what()), FileName(std::move(Name)) {}
    std::string FileName;
};

} // namespace

// Before New and Open: a modified project may be saved first. False when the
// user cancelled, or chose to save and the save did not happen: work the user
// chose to keep is never dropped because saving it failed.
bool TfrmMain::SaveChangesFirst() {
    if (!Modified) {
        return true;
    }
    const TAnswer Answer = TUserDialogs::Current().AskYesNoCancel(FTexts.SaveChanges + "?");
    if (Answer == TAnswer::Cancel) {
        return false;
    }
    return Answer == TAnswer::No || mnuFileSaveClick();
}

bool TfrmMain::mnuFileNewClick() {
    if (!SaveChangesFirst()) {
        return false;
    }
    ClearProject();
    FileHandling->FProject = Document.get();
    FileHandling->FFileName.clear();
    setWindowTitle(QText(ProductCaption));
    SetStatusText(0, "");
    SelectDensityChoice(rbDensNormal);
    Modified = false;
    return true;
}

bool TfrmMain::mnuFileOpenClick() {
    if (!SaveChangesFirst()) {
        return false;
    }
    TFileDialogRequest Request;
    Request.Filter = OpenFilter;
    Request.DefaultExt = ProjectExtension;
    Request.InitialDir = std::filesystem::path(FileHandling->FFileName).parent_path().string();
    const std::optional<std::string> FileName = TUserDialogs::Current().OpenFileName(Request);
    if (!FileName) {
        return false;
    }
    OpenProjectFile(*FileName);
    return true;
}

void TfrmMain::OpenProjectFile(const std::string& FileName) {
    const QScopedValueRollback<bool> Opening(DrawingEnabled, false);
    const bool OldFormat = EndsWith(FileName, ".pkr");
    if (!OldFormat && !EndsWith(FileName, ".pkx")) {
        TUserDialogs::Current().ShowMessage(TMessageKind::Plain, FTexts.FileNotFound + "\n" + FileName);
        return;
    }
    try {
        ClearProject();
        FileHandling->FProject = Document.get();
        if (OldFormat) {
            FileHandling->OpenOldProject(FileName);
        } else {
            FileHandling->OpenProject(FileName);
        }
        setWindowTitle(QText(ProductCaption + " - " + FileName));
        SetStatusText(0, " " + FileName);
        FileHandling->FFileName = FileName;
        ShowLoadedProject();
        Modified = false;
    } catch (const std::exception& Failure) {
        TUserDialogs::Current().ShowMessage(TMessageKind::Plain,
                                            FileFailureText(FTexts.FileNotOpened, FileName, Failure));
        Modified = false;
        mnuFileNewClick();
    }
}

std::optional<std::string> TfrmMain::DroppedProjectFile(const QMimeData* Data) {
    if (Data == nullptr || Data->urls().size() != 1 || !Data->urls().front().isLocalFile()) {
        return std::nullopt;
    }
    const std::string FileName = Data->urls().front().toLocalFile().toStdString();
    if (!EndsWith(FileName, ".pkx") && !EndsWith(FileName, ".pkr")) {
        return std::nullopt;
    }
    return FileName;
}

void TfrmMain::OpenDroppedFile(const std::string& FileName) {
    if (SaveChangesFirst()) {
        OpenProjectFile(FileName);
    }
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* Event) {
    dragMoveEvent(Event);
}

void TfrmMain::dragMoveEvent(QDragMoveEvent* Event) {
    if (DroppedProjectFile(Event->mimeData())) {
        Event->acceptProposedAction();
    } else {
        Event->ignore();
    }
}

// The program the file came from waits until the drop returns, so the save
// question and the file's messages come after it.
void TfrmMain::dropEvent(QDropEvent* Event) {
    const std::optional<std::string> FileName = DroppedProjectFile(Event->mimeData());
    if (!FileName) {
        Event->ignore();
        return;
    }
    Event->acceptProposedAction();
    QMetaObject::invokeMethod(
        this,
        [this, Name = *FileName] {
            try {
                OpenDroppedFile(Name);
            } catch (const std::exception& Failure) {
                ReportFailure(Failure);
            }
        },
        Qt::QueuedConnection);
}

bool TfrmMain::mnuFileSaveClick() {
    bool Written = false;
    try {
        // An older ".pkr" file is never overwritten with the XML format.
        if (FileHandling->FFileName.empty() || FileHandling->IsOldFormat()) {
            Written = mnuFileSaveAsClick();
        } else {
            FileHandling->FProject = Document.get();
            FileHandling->SaveProject();
            Written = true;
        }
    } catch (const EProjectNotWritten& Failure) {
        TUserDialogs::Current().ShowMessage(TMessageKind::Plain,
                                            FileFailureText(FTexts.FileNotSaved, Failure.FileName, Failure));
        return false;
    } catch (const std::exception& Failure) {
        TUserDialogs::Current().ShowMessage(
            TMessageKind::Plain, FileFailureText(FTexts.FileNotSaved, FileHandling->FFileName, Failure));
        return false;
    }
    if (Written) {
        Modified = false;
    }
    return Written;
}

bool TfrmMain::mnuFileSaveAsClick() {
    const std::filesystem::path Current(FileHandling->FFileName);
    std::filesystem::path Proposed = Current.filename();
    if (FileHandling->IsOldFormat()) {
        Proposed.replace_extension(".pkx");
    }
    TFileDialogRequest Request;
    Request.Filter = SaveFilter;
    Request.DefaultExt = ProjectExtension;
    Request.InitialDir = Current.parent_path().string();
    Request.FileName = Proposed.string();
    const std::optional<std::string> FileName = TUserDialogs::Current().SaveFileName(Request);
    if (!FileName) {
        return false;
    }
    FileHandling->FProject = Document.get();
    try {
        FileHandling->SaveProjectAs(*FileName);
    } catch (const std::exception& Failure) {
        throw EProjectNotWritten(Failure, *FileName);
    }
    setWindowTitle(QText(ProductCaption + " - " + *FileName));
    SetStatusText(0, " " + FileHandling->FFileName);
    return true;
}

// The 680 x 680 chart picture; the name's ending picks the format. A failure
// to write, or a name that is a project file, goes to the top-level report
// with its own message.
void TfrmMain::mnuFileSaveChartAsPictureClick() {
    TFileDialogRequest Request;
    Request.Filter = PictureFilter;
    Request.DefaultExt = "bmp";
    const std::optional<std::string> FileName = TUserDialogs::Current().SaveFileName(Request);
    if (!FileName) {
        return;
    }
    SaveChartPicture(*Draw, *Document, *FileName, {FileHandling->FFileName});
    InvalidateWindow();
}

void TfrmMain::mnuFilePrintClick() {
    if (Forms.frmPrint == nullptr) {
        return;
    }
    Forms.frmPrint->FDraw = Draw.get();
    Forms.frmPrint->FDocument = Document.get();
    Forms.frmPrint->exec();
    InvalidateWindow();
}

void TfrmMain::mnuFileExitClick() {
    close();
}

void TfrmMain::MnuOptionsChartClick() {
    if (Forms.frmOptionsChart == nullptr) {
        return;
    }
    Forms.frmOptionsChart->Options = Options.get();
    Forms.frmOptionsChart->exec();
    InvalidateWindow();
}

void TfrmMain::mnuOptionsLanguageClick() {
    if (Forms.frmLanguages == nullptr) {
        return;
    }
    Forms.frmLanguages->exec();
    InvalidateWindow();
}

void TfrmMain::mnuHelpHelpClick() {
    if (OnHelp) {
        OnHelp();
    }
}

void TfrmMain::mnuHelpAboutClick() {
    if (Forms.frmVersion != nullptr) {
        Forms.frmVersion->exec();
    }
}

} // namespace psykrona
