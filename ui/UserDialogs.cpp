#include "ui/UserDialogs.h"

#include "qt/QtPrinter.h"
#include "ui/DialogLayout.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QWidget>

#include <algorithm>

namespace psykrona {

namespace {

TUserDialogs* GCurrent = nullptr;

QWidget* DialogParent() {
    if (QWidget* Modal = QApplication::activeModalWidget()) {
        return Modal;
    }
    return QApplication::activeWindow();
}

std::vector<std::string> Split(const std::string& Text, char Separator) {
    std::vector<std::string> Parts;
    std::string::size_type Start = 0;
    for (;;) {
        const auto End = Text.find(Separator, Start);
        Parts.push_back(Text.substr(Start, End - Start));
        if (End == std::string::npos) {
            return Parts;
        }
        Start = End + 1;
    }
}

// "*.*" means every file to the user; to Qt it means names with a dot.
QString QtPattern(const std::string& Pattern) {
    return Pattern == "*.*" ? QStringLiteral("*") : QText(Pattern);
}

// The description with the patterns Qt filters by in its last parentheses.
QString QtNameFilter(const TFileType& Type) {
    QString Description = QText(Type.Description).trimmed();
    if (Description.endsWith(')')) {
        const auto Open = Description.lastIndexOf('(');
        if (Open >= 0) {
            Description = Description.left(Open).trimmed();
        }
    }
    QStringList Patterns;
    for (const std::string& P : Type.Patterns) {
        Patterns << QtPattern(P);
    }
    return Description + " (" + Patterns.join(' ') + ")";
}

std::optional<std::string> RunFileDialog(const TFileDialogRequest& Request, bool Save) {
    QFileDialog Dialog(DialogParent(), QText(Request.Title));
    Dialog.setAcceptMode(Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    Dialog.setFileMode(Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const std::vector<TFileType> Types = ParseFileFilter(Request.Filter);
    QStringList Filters;
    for (const TFileType& T : Types) {
        Filters << QtNameFilter(T);
    }
    if (!Filters.isEmpty()) {
        Dialog.setNameFilters(Filters);
    }
    // Like the dialogs users know: a name typed without extension gets that
    // of the selected type, or the default one under a type such as "All files".
    auto SuffixFor = [&](int Index) {
        const std::string Own =
            Index >= 0 && Index < static_cast<int>(Types.size()) ? Types[Index].Extension() : std::string();
        return QText(Own.empty() ? Request.DefaultExt : Own);
    };
    const int First = std::clamp(Request.FilterIndex, 1, std::max<int>(1, Filters.size())) - 1;
    if (!Filters.isEmpty()) {
        Dialog.selectNameFilter(Filters[First]);
    }
    Dialog.setDefaultSuffix(SuffixFor(First));
    QObject::connect(&Dialog, &QFileDialog::filterSelected, &Dialog, [&](const QString& Filter) {
        Dialog.setDefaultSuffix(SuffixFor(Filters.indexOf(Filter)));
    });
    if (!Request.InitialDir.empty()) {
        Dialog.setDirectory(QText(Request.InitialDir));
    }
    if (!Request.FileName.empty()) {
        Dialog.selectFile(QText(Request.FileName));
    }
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return Dialog.selectedFiles().first().toStdString();
}

TAnswer Ask(const std::string& Text, bool WithCancel) {
    QMessageBox Box(DialogParent());
    Box.installEventFilter(new TDialogStateGuard(&Box));
    Box.setWindowTitle(QStringLiteral("Warning"));
    Box.setIcon(QMessageBox::Warning);
    Box.setText(QText(Text));
    QPushButton* Yes = Box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton* No = Box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    QPushButton* Cancel =
        WithCancel ? Box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole) : nullptr;
    Box.setDefaultButton(Yes);
    Box.setEscapeButton(WithCancel ? Cancel : No);
    Box.exec();
    if (Box.clickedButton() == Yes) {
        return TAnswer::Yes;
    }
    if (Box.clickedButton() == No) {
        return TAnswer::No;
    }
    return WithCancel ? TAnswer::Cancel : TAnswer::No;
}

} // namespace

std::string TFileType::Extension() const {
    if (Patterns.size() != 1) {
        return {};
    }
    const std::string& P = Patterns.front();
    if (P.size() < 3 || P.compare(0, 2, "*.") != 0 || P.find_first_of("*?", 2) != std::string::npos) {
        return {};
    }
    return P.substr(2);
}

std::vector<TFileType> ParseFileFilter(const std::string& Filter) {
    std::vector<TFileType> Types;
    if (Filter.empty()) {
        return Types;
    }
    const std::vector<std::string> Parts = Split(Filter, '|');
    for (std::size_t I = 0; I + 1 < Parts.size(); I += 2) {
        Types.push_back({Parts[I], Split(Parts[I + 1], ';')});
    }
    return Types;
}

TUserDialogs& TUserDialogs::Current() {
    static TQtUserDialogs QtDialogs;
    return GCurrent ? *GCurrent : QtDialogs;
}

// The printer the user chose, kept with its settings for the whole run, and
// the print jobs' adapter on it, made anew with every choice.
struct TQtUserDialogs::TPrinterState {
    QPrinter Printer{QPrinter::HighResolution};
    std::unique_ptr<TQtPrinter> Jobs;
    QMetaObject::Connection Release;
};

TQtUserDialogs::TQtUserDialogs() = default;

TQtUserDialogs::~TQtUserDialogs() {
    if (FPrinter != nullptr) {
        QObject::disconnect(FPrinter->Release);
    }
}

void TQtUserDialogs::ReleasePrinter() {
    FPrinter.reset();
}

TUserDialogs* TUserDialogs::SetCurrent(TUserDialogs* Dialogs) {
    TUserDialogs* Previous = GCurrent;
    GCurrent = Dialogs;
    return Previous;
}

void TQtUserDialogs::ShowMessage(TMessageKind Kind, const std::string& Text) {
    QMessageBox Box(DialogParent());
    Box.installEventFilter(new TDialogStateGuard(&Box));
    switch (Kind) {
    case TMessageKind::Plain:
        Box.setWindowTitle(ProgramTitle);
        Box.setIcon(QMessageBox::NoIcon);
        break;
    case TMessageKind::Error:
        Box.setWindowTitle(QStringLiteral("Error"));
        Box.setIcon(QMessageBox::Critical);
        break;
    case TMessageKind::Warning:
        Box.setWindowTitle(QStringLiteral("Warning"));
        Box.setIcon(QMessageBox::Warning);
        break;
    case TMessageKind::Failure:
        Box.setWindowTitle(ProgramTitle);
        Box.setIcon(QMessageBox::Critical);
        break;
    }
    Box.setText(QText(Text));
    QPushButton* Ok = Box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    Box.setDefaultButton(Ok);
    Box.setEscapeButton(Ok);
    Box.exec();
}

TAnswer TQtUserDialogs::AskYesNoCancel(const std::string& Text) {
    return Ask(Text, true);
}

TAnswer TQtUserDialogs::AskYesNo(const std::string& Text) {
    return Ask(Text, false);
}

std::optional<std::string> TQtUserDialogs::OpenFileName(const TFileDialogRequest& Request) {
    return RunFileDialog(Request, false);
}

std::optional<std::string> TQtUserDialogs::SaveFileName(const TFileDialogRequest& Request) {
    return RunFileDialog(Request, true);
}

bool TQtUserDialogs::SelectPrinter() {
    CurrentPrinter(); // makes the printer on first use
    QPrintDialog Dialog(&FPrinter->Printer, DialogParent());
    Dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (Dialog.exec() != QDialog::Accepted) {
        return false;
    }
    FPrinter->Jobs = std::make_unique<TQtPrinter>(FPrinter->Printer);
    // Each page is a print job of its own; into a file, the second would
    // replace the first, so there the jobs become the pages of one file.
    FPrinter->Jobs->JobsAsPages = FPrinter->Printer.outputFormat() == QPrinter::PdfFormat;
    return true;
}

TPrinter& TQtUserDialogs::CurrentPrinter() {
    if (FPrinter == nullptr) {
        FPrinter = std::make_unique<TPrinterState>();
        FPrinter->Jobs = std::make_unique<TQtPrinter>(FPrinter->Printer);
        // This object lives until the program's statics go, after Qt.
        if (QCoreApplication::instance() != nullptr) {
            FPrinter->Release = QObject::connect(QCoreApplication::instance(), &QObject::destroyed,
                                                 [this] { ReleasePrinter(); });
        }
    }
    return *FPrinter->Jobs;
}

QPrinter& TQtUserDialogs::PlatformPrinter() {
    CurrentPrinter();
    return FPrinter->Printer;
}

std::string FileFailureText(const std::string& Message, const std::string& FileName,
                            const std::exception& Failure) {
    // The file layer's messages name the file before their reason; the name
    // has a line of its own here.
    std::string Reason = Failure.what() != nullptr ? Failure.what() : "";
    for (const std::string& Lead : {"\"" + FileName + "\": ", "'" + FileName + "' cannot be read: "}) {
        const std::size_t At = Reason.find(Lead);
        if (!FileName.empty() && At != std::string::npos) {
            Reason.erase(0, At + Lead.size());
            break;
        }
    }
    std::string Text = Message;
    for (const std::string& Line : {FileName, Reason}) {
        if (!Line.empty()) {
            Text += "\n" + Line;
        }
    }
    return Text;
}

void ReportFailure(const std::exception& Failure) {
    const char* What = Failure.what();
    TUserDialogs::Current().ShowMessage(TMessageKind::Failure, What && *What ? What : "Unknown failure");
}

} // namespace psykrona
