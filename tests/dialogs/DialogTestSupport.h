#pragma once

#include "engine/NumberText.h"
#include "localisation/Translator.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include "tests/support/TempFolder.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include <exception>
#include <filesystem>
#include <string>
#include <vector>

namespace psykrona::test {

// The program's top-level error display, reduced to a record: a failure that
// leaves an event handler is kept here instead of being shown in a box.
class TRecordingApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* Receiver, QEvent* Event) override {
        try {
            return QApplication::notify(Receiver, Event);
        } catch (const std::exception& E) {
            Errors.emplace_back(E.what());
            return false;
        }
    }
    std::vector<std::string> Errors;
};

// The suite's application, made before the first test and ended after the
// last one, while the statics Qt's input devices need still exist.
class TApplicationEnvironment : public testing::Environment {
public:
    void SetUp() override {
        static int Argc = 1;
        static char Name[] = "dialogs_tests";
        static char* Argv[] = {Name, nullptr};
        Application = new TRecordingApplication(Argc, Argv);
    }
    void TearDown() override {
        delete Application;
        Application = nullptr;
    }
    static inline TRecordingApplication* Application = nullptr;
};

inline testing::Environment* const ApplicationEnvironment =
    testing::AddGlobalTestEnvironment(new TApplicationEnvironment);

inline TRecordingApplication& App() {
    return *TApplicationEnvironment::Application;
}

struct TLanguage {
    std::string Code;
    std::string Name;
    std::string File;
};

// The three shipped languages in their shipped order.
inline std::vector<TLanguage> ShippedLanguages() {
    return {{"en", "English", "English.lng"},
            {"sv", "Svenska", "Swedish.lng"},
            {"hu", "Magyar", "Hungarian.lng"}};
}

// A temporary program directory holding the shipped language files and a
// language list written by the test, with the translator created on it.
class TDialogTest : public testing::Test {
protected:
    TDialogTest() {
        App().Errors.clear();
        SetDecimalSeparator('.');
        const std::filesystem::path Data = std::filesystem::path(PSYKRONA_SOURCE_DIR) / "data";
        for (const char* File : {"English.lng", "Swedish.lng", "Hungarian.lng"}) {
            std::filesystem::copy_file(Data / File, Folder.Path() / File);
        }
    }
    ~TDialogTest() override { TTranslator::DestroyInstance(); }

    // Writes the language list with Default as the remembered language and
    // (re)creates the translator, as a program start does.
    void StartWith(const std::string& Default, const std::vector<TLanguage>& Languages = ShippedLanguages()) {
        std::string Xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<psykrona-languages>\n"
                          "  <default>\n    <language>" +
                          Default + "</language>\n  </default>\n  <languages>\n";
        for (const TLanguage& L : Languages) {
            Xml += "    <language>\n      <code>" + L.Code + "</code>\n      <name>" + L.Name +
                   "</name>\n      <file>" + L.File + "</file>\n    </language>\n";
        }
        Xml += "  </languages>\n</psykrona-languages>\n";
        Folder.Write("Languages.xml", Xml);
        Restart();
    }
    // A new start of the program on the same folder.
    void Restart() { TTranslator::CreateInstance(DomImpl, Parser, Folder.Dir()); }

    std::string LanguageList() const { return Folder.Read("Languages.xml"); }

    TTempFolder Folder;
    TDomImplementation DomImpl;
    TXmlParser Parser{DomImpl};
};

// Where a window of this outer size belongs: centred across the primary
// screen, its middle at 1/Divisor of the screen height.
inline QPoint ExpectedPlace(const QSize& Size, int Divisor) {
    const QRect S = QGuiApplication::primaryScreen()->geometry();
    return {S.x() + S.width() / 2 - Size.width() / 2, S.y() + S.height() / Divisor - Size.height() / 2};
}

} // namespace psykrona::test
