#pragma once

#include "printing/Printer.h"

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPrinter;

namespace psykrona {

// How a box with a single OK button looks.
enum class TMessageKind {
    Plain,   // the program's title, no icon: notices and the file messages
    Error,   // titled "Error", error icon: refused input
    Warning, // titled "Warning", warning icon: implausible results
    Failure, // the program's title, error icon: an unhandled failure's own message
};

enum class TAnswer { Ok, Yes, No, Cancel };

// What an open or save dialog offers.
struct TFileDialogRequest {
    // Pairs of description and patterns, all separated by "|", patterns of
    // one type separated by ";": "Psykrona file (*.pkx)|*.pkx|All files (*.*)|*.*".
    std::string Filter;
    int FilterIndex = 1; // the type selected first, counted from 1
    // Appended, without its dot, to a name typed without extension when the
    // selected type names no single extension of its own.
    std::string DefaultExt;
    std::string InitialDir; // empty: the platform's choice
    std::string FileName;   // the proposed name, without folder
    std::string Title;      // empty: the platform's title
};

// One type of a file dialog's filter.
struct TFileType {
    std::string Description;
    std::vector<std::string> Patterns; // "*.pkx", "*.*"
    // The extension this type gives a name typed without one ("pkx"), or ""
    // when it names no single extension.
    std::string Extension() const;
};
std::vector<TFileType> ParseFileFilter(const std::string& Filter);

// Every message box and file dialog of the program goes through the current
// instance of this interface, so that tests answer them from a script. The
// program uses the Qt boxes; whoever installs another instance restores the
// previous one when done.
class TUserDialogs {
public:
    static constexpr const char* ProgramTitle = "Psykrona";

    virtual ~TUserDialogs() = default;

    // A modal box with Text and one "OK" button.
    virtual void ShowMessage(TMessageKind Kind, const std::string& Text) = 0;
    // A warning box titled "Warning" with "&Yes", "&No" and "Cancel"; closing
    // it otherwise counts as Cancel.
    virtual TAnswer AskYesNoCancel(const std::string& Text) = 0;
    // A warning box titled "Warning" with "&Yes" and "&No"; closing it
    // otherwise counts as No.
    virtual TAnswer AskYesNo(const std::string& Text) = 0;
    // The full name of an existing file the user chose, or nothing.
    virtual std::optional<std::string> OpenFileName(const TFileDialogRequest& Request) = 0;
    // The full name the user chose to write, or nothing.
    virtual std::optional<std::string> SaveFileName(const TFileDialogRequest& Request) = 0;
    // The platform's printer selection dialog. True when the user confirmed
    // it; the printer chosen is then CurrentPrinter().
    virtual bool SelectPrinter() = 0;
    // The platform's current printer, where print jobs go: the one chosen
    // last, at first the system's default.
    virtual TPrinter& CurrentPrinter() = 0;

    static TUserDialogs& Current();
    // Makes Dialogs current and returns the one it replaces; nullptr brings
    // back the Qt boxes.
    static TUserDialogs* SetCurrent(TUserDialogs* Dialogs);
};

// The boxes and dialogs of Qt, parented to the active window.
class TQtUserDialogs : public TUserDialogs {
public:
    TQtUserDialogs();
    ~TQtUserDialogs() override;
    TQtUserDialogs(const TQtUserDialogs&) = delete;
    TQtUserDialogs& operator=(const TQtUserDialogs&) = delete;

    void ShowMessage(TMessageKind Kind, const std::string& Text) override;
    TAnswer AskYesNoCancel(const std::string& Text) override;
    TAnswer AskYesNo(const std::string& Text) override;
    std::optional<std::string> OpenFileName(const TFileDialogRequest& Request) override;
    std::optional<std::string> SaveFileName(const TFileDialogRequest& Request) override;
    // QPrintDialog, which also offers printing to a PDF file.
    bool SelectPrinter() override;
    TPrinter& CurrentPrinter() override;
    // The Qt printer behind CurrentPrinter(), with the settings chosen last.
    QPrinter& PlatformPrinter();

    // Lets the printer go while Qt still runs; called as the application
    // ends, since a printer outliving it cannot close its connection.
    void ReleasePrinter();

private:
    struct TPrinterState;
    std::unique_ptr<TPrinterState> FPrinter;
};

// The message of a file that could not be read or written: Message first,
// then the file's name and the reason the failure gives (the system's, as
// "No such file or directory"), each on a line of its own.
std::string FileFailureText(const std::string& Message, const std::string& FileName,
                            const std::exception& Failure);

// The program's report of a failure that no command handled: the failure's
// own message in a box, after which the program goes on.
void ReportFailure(const std::exception& Failure);

} // namespace psykrona
