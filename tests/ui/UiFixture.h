#pragma once

#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "localisation/Translator.h"
#include "ui/FormEditPoint.h"
#include "ui/FormMain.h"
#include "ui/PaintBox.h"

#include "tests/support/ScriptedUserDialogs.h"
#include "tests/support/TempFolder.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include <sys/resource.h>

namespace psykrona::test {

// Runs Action as a process whose files may grow to 64 bytes at most: a full
// disk for everything it writes.
inline void OnAFullDisk(const std::function<void()>& Action) {
    struct rlimit Old {};
    getrlimit(RLIMIT_FSIZE, &Old);
    struct rlimit Tiny = Old;
    Tiny.rlim_cur = 64;
    const auto OldSignal = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &Tiny);
    Action();
    setrlimit(RLIMIT_FSIZE, &Old);
    signal(SIGXFSZ, OldSignal);
}

inline std::string SourceFile(const std::string& RelativePath) {
    std::ifstream In(std::string(PSYKRONA_SOURCE_DIR) + "/" + RelativePath, std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
}

// A program directory of its own with the installed language list and the
// English and Swedish texts; English is current.
inline void WriteLanguages(const TTempFolder& Folder) {
    Folder.Write("Languages.xml", SourceFile("data/Languages.xml"));
    Folder.Write("English.lng", SourceFile("data/English.lng"));
    Folder.Write("Swedish.lng", SourceFile("data/Swedish.lng"));
    Folder.Write("Hungarian.lng", SourceFile("data/Hungarian.lng"));
}

// Answers the point editor once the next command shows it modally. The
// script must close the editor; one left open is closed and counted as a
// failure, so that a wrong script cannot hang the test.
inline void WhenEditorShown(TfrmEditPoint& Editor, std::function<void(TfrmEditPoint&)> Script) {
    QTimer::singleShot(0, &Editor, [&Editor, Script] {
        if (!Editor.isVisible()) {
            ADD_FAILURE() << "the point editor was not shown";
            return;
        }
        Script(Editor);
        if (Editor.isVisible()) {
            ADD_FAILURE() << "the script left the point editor open";
            Editor.reject();
        }
    });
}

// Ticks the two properties (by their check boxes) and types their values.
inline void Prescribe(TfrmEditPoint& E, QCheckBox* CheckA, const char* ValueA, QCheckBox* CheckB,
                      const char* ValueB) {
    auto EditOf = [&E](QCheckBox* Check) {
        return Check == E.chkTemp      ? E.edtTemp
               : Check == E.chkRelHum  ? E.edtRelHum
               : Check == E.chkSpecHum ? E.edtSpecHum
                                       : E.edtEnthalpy;
    };
    CheckA->click();
    EditOf(CheckA)->setText(QString::fromUtf8(ValueA));
    CheckB->click();
    EditOf(CheckB)->setText(QString::fromUtf8(ValueB));
}

// The main window as the program starts it, on a program directory and
// folder of its own, with the point editor and scripted boxes. The decimal
// separator is ".".
class TMainWindowTest : public testing::Test {
protected:
    TMainWindowTest() {
        SetDecimalSeparator('.');
        WriteLanguages(ProgramDir);
        Form = std::make_unique<TfrmMain>(ProgramDir.Dir());
        Editor = new TfrmEditPoint(Form.get());
        Form->Forms.frmEditPoint = Editor;
        Form->resize(1200, 800);
        Form->show();
        QCoreApplication::processEvents(); // the start-up step: a new project
    }
    ~TMainWindowTest() override {
        EXPECT_TRUE(Dialogs.AllUnexpected().empty()) << Dialogs.AllUnexpected().front();
        Form->Modified = false;
        Form->close();
        Form.reset();
    }

    // Adds a point through the Add button and the editor, prescribed by
    // temperature and relative humidity.
    void AddPoint(const char* Name, const char* Temp, const char* RelHum) {
        WhenEditorShown(*Editor, [&](TfrmEditPoint& E) {
            E.edtName->setText(QString::fromUtf8(Name));
            Prescribe(E, E.chkTemp, Temp, E.chkRelHum, RelHum);
            E.btnOK->click();
        });
        Form->btnAdd->click();
    }

    std::vector<std::string> PointNames() const {
        std::vector<std::string> Names;
        for (const TMollierPoint& P : Form->Document->Points) {
            Names.push_back(std::to_string(P.Number) + ":" + P.Name);
        }
        return Names;
    }
    std::vector<std::string> ListRows() const {
        std::vector<std::string> Rows;
        for (int I = 0; I < Form->ListBox1->count(); ++I) {
            Rows.push_back(Form->ListBox1->item(I)->text().toStdString());
        }
        return Rows;
    }

    TTempFolder ProgramDir;
    TTempFolder Work;
    TScriptedUserDialogs Dialogs;
    std::unique_ptr<TfrmMain> Form;
    TfrmEditPoint* Editor = nullptr;
};

} // namespace psykrona::test
