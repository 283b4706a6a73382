#pragma once

#include "ui/UserDialogs.h"

#include "tests/support/RecordingPrinter.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace psykrona::test {

// Message boxes and file dialogs answered from a script. While it lives it
// is the program's current TUserDialogs; it records every box and dialog it
// was asked for, in order, and answers questions and file dialogs from its
// queues. A question or dialog with nothing queued is answered Cancel (or
// with no file) and noted in Unexpected, so a test sees boxes it did not
// plan for.
class TScriptedUserDialogs : public TUserDialogs {
public:
    // What was asked: "Message", "YesNoCancel", "YesNo", "Open", "Save" or
    // "Printer".
    struct TAsked {
        std::string What;
        std::string Text; // message and question text
        TMessageKind Kind = TMessageKind::Plain;
        TFileDialogRequest Request; // file dialogs
    };

    TScriptedUserDialogs() : FPrevious(SetCurrent(this)) {}
    ~TScriptedUserDialogs() override { SetCurrent(FPrevious); }
    TScriptedUserDialogs(const TScriptedUserDialogs&) = delete;
    TScriptedUserDialogs& operator=(const TScriptedUserDialogs&) = delete;

    std::vector<TAsked> Asked;
    std::deque<TAnswer> Answers;
    std::deque<std::optional<std::string>> Files;
    // Answers to the printer selection: true confirms it.
    std::deque<bool> PrinterChoices;
    // The current printer, on a small page so that pages print fast; its
    // faults count as unexpected.
    TRecordingPrinter Printer{680, 986};
    std::vector<std::string> Unexpected;
    // Runs while a box or dialog is "open", after it is recorded.
    std::function<void(const TAsked&)> WhileOpen;

    void ShowMessage(TMessageKind Kind, const std::string& Text) override {
        Record({"Message", Text, Kind, {}});
    }
    TAnswer AskYesNoCancel(const std::string& Text) override {
        Record({"YesNoCancel", Text, TMessageKind::Warning, {}});
        return Take(Answers, TAnswer::Cancel, "YesNoCancel: " + Text);
    }
    TAnswer AskYesNo(const std::string& Text) override {
        Record({"YesNo", Text, TMessageKind::Warning, {}});
        return Take(Answers, TAnswer::No, "YesNo: " + Text);
    }
    std::optional<std::string> OpenFileName(const TFileDialogRequest& Request) override {
        Record({"Open", "", TMessageKind::Plain, Request});
        return Take(Files, std::optional<std::string>(), "Open");
    }
    std::optional<std::string> SaveFileName(const TFileDialogRequest& Request) override {
        Record({"Save", "", TMessageKind::Plain, Request});
        return Take(Files, std::optional<std::string>(), "Save");
    }
    bool SelectPrinter() override {
        Record({"Printer", "", TMessageKind::Plain, {}});
        return Take(PrinterChoices, false, "Printer");
    }
    TPrinter& CurrentPrinter() override { return Printer; }

    // What the script did not plan for, the printer's misuse included.
    std::vector<std::string> AllUnexpected() const {
        std::vector<std::string> All = Unexpected;
        All.insert(All.end(), Printer.Faults.begin(), Printer.Faults.end());
        return All;
    }

    // The texts of the boxes shown, in order, for compact expectations:
    // "Message: <text>", "YesNo: <text>", "Save: <proposed name>".
    std::vector<std::string> Log() const {
        std::vector<std::string> Lines;
        for (const TAsked& A : Asked) {
            Lines.push_back(A.What + ": " +
                            (A.What == "Open" || A.What == "Save" ? A.Request.FileName : A.Text));
        }
        return Lines;
    }
    void Clear() {
        Asked.clear();
        Unexpected.clear();
    }

private:
    void Record(const TAsked& A) {
        Asked.push_back(A);
        if (WhileOpen) {
            WhileOpen(A);
        }
    }
    // The next queued answer, or Default when the script has none.
    template <typename T> T Take(std::deque<T>& Queue, T Default, const std::string& What) {
        if (Queue.empty()) {
            Unexpected.push_back(What);
            return Default;
        }
        T Next = Queue.front();
        Queue.pop_front();
        return Next;
    }

    TUserDialogs* FPrevious;
};

} // namespace psykrona::test
