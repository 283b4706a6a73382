#pragma once

#include "localisation/Translator.h"
#include "ui/FormEditPoint.h"
#include "ui/FormMain.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include "tests/support/RandomProject.h"
#include "tests/support/ScriptedUserDialogs.h"
#include "tests/support/TempFolder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>

#include <sys/resource.h>

namespace psykrona::test {

using Strings = std::vector<std::string>;

inline std::string SourceFile(const std::string& Path) { return ReadFile(std::string(PSYKRONA_SOURCE_DIR) + "/" + Path); }

// Runs Action with files limited to 64 bytes: a full disk for its writes.
inline void OnAFullDisk(const std::function<void()>& Action) {
    struct rlimit Old {};
    getrlimit(RLIMIT_FSIZE, &Old);
    const struct rlimit Tiny = {64, Old.rlim_max};
    const auto OldSignal = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &Tiny);
    Action();
    setrlimit(RLIMIT_FSIZE, &Old);
    signal(SIGXFSZ, OldSignal);
}

// Adds a point prescribed by temperature and relative humidity, calculated.
inline TMollierPoint& AddPoint(TMain& Doc, const std::string& Name, double Temp, double RelHum) {
    return AddCalculatedPoint(Doc, Name, Temp, PROP_RELHUM, RelHum);
}

// Runs Script on the next modal window of type T. One left open is rejected
// and one that never comes ends every event loop, both failures.
template <typename T> void WhenShown(std::function<void(T&)> Script, int Tries = 400) {
    QTimer::singleShot(Tries == 400 ? 0 : 5, [Script, Tries] {
        auto* Window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (Window == nullptr && Tries > 0) {
            WhenShown<T>(Script, Tries - 1);
        } else if (Window == nullptr) {
            ADD_FAILURE() << T::staticMetaObject.className() << " was not shown";
            QCoreApplication::exit(2);
        } else {
            Script(*Window);
            if (Window->isVisible()) {
                ADD_FAILURE() << "the script left " << T::staticMetaObject.className() << " open";
                Window->reject();
            }
        }
    });
}

// Ticks temperature and relative humidity by their boxes and types them.
inline void Prescribe(TfrmEditPoint& E, const char* Temp, const char* RelHum) {
    E.chkTemp->click();
    E.edtTemp->setText(QString::fromUtf8(Temp));
    E.chkRelHum->click();
    E.edtRelHum->setText(QString::fromUtf8(RelHum));
}

inline const Strings LanguageCodes{"en", "sv", "hu"}; // the shipped list's order

// The shipped language files, a work folder, scripted boxes (an unplanned one fails); separator ".".
class TWindowTest : public testing::Test {
protected:
    TWindowTest() {
        SetDecimalSeparator('.');
        for (const char* F : {"Languages.xml", "English.lng", "Swedish.lng", "Hungarian.lng"}) {
            ProgramDir.Write(F, SourceFile(std::string("data/") + F));
        }
    }
    ~TWindowTest() override {
        EXPECT_TRUE(Dialogs.AllUnexpected().empty()) << Dialogs.AllUnexpected().front();
        TTranslator::DestroyInstance(); // before the document model it was read with
    }

    // The shipped language list remembering Default, and the translator started on it.
    void StartWith(const std::string& Default) {
        std::string Xml = SourceFile("data/Languages.xml");
        const std::string Remembered = "<language>en</language>";
        ProgramDir.Write("Languages.xml", Xml.replace(Xml.find(Remembered), Remembered.size(),
                                                      "<language>" + Default + "</language>"));
        Restart();
    }
    void Restart() { TTranslator::CreateInstance(DomImpl, Parser, ProgramDir.Dir()); }

    TTempFolder ProgramDir;
    TTempFolder Work;
    TScriptedUserDialogs Dialogs;
    TDomImplementation DomImpl;
    TXmlParser Parser{DomImpl};
};

// The main window as the program starts it, with the point editor.
class TMainWindowTest : public TWindowTest {
protected:
    TMainWindowTest() {
        Form = std::make_unique<TfrmMain>(ProgramDir.Dir());
        Editor = new TfrmEditPoint(Form.get());
        Form->Forms.frmEditPoint = Editor;
        Form->resize(1200, 800);
        Form->show();
        QCoreApplication::processEvents(); // the start-up step: a new project
    }
    ~TMainWindowTest() override { Form->Modified = false; }

    // Adds a point through the Add button and the editor.
    void AddPoint(const char* Name, const char* Temp, const char* RelHum) {
        WhenShown<TfrmEditPoint>([&](TfrmEditPoint& E) {
            E.edtName->setText(QString::fromUtf8(Name));
            Prescribe(E, Temp, RelHum);
            E.btnOK->click();
        });
        Form->btnAdd->click();
    }

    std::unique_ptr<TfrmMain> Form;
    TfrmEditPoint* Editor = nullptr;
};

} // namespace psykrona::test
