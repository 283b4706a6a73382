// The start-up window and the language dialog: which language and flag they
// preselect, what OK and Cancel do to the current language and to
// "Languages.xml", and that a choice carries over to the next start.
#include "localisation/FormIntro2.h"
#include "localisation/FormLanguages.h"

#include "tests/ui/UiFixture.h"

#include <QComboBox>
#include <QTest>

namespace psykrona {
namespace {

class LanguageWindowsTest : public test::TWindowTest {
protected:
    // The position of the one flag the start-up window shows, -1 for none.
    static int VisibleFlag(const TfrmIntro& Intro) {
        int Shown = -1;
        const QLabel* Flags[] = {Intro.imgBritain, Intro.imgSweden, Intro.imgHungary};
        for (int I = 0; I < 3; ++I) {
            if (Flags[I]->isVisibleTo(&Intro)) {
                EXPECT_EQ(Shown, -1) << "two flags";
                Shown = I;
            }
        }
        return Shown;
    }
    // The language each window preselects after a start.
    int Preselected() {
        TfrmIntro Intro;
        TfrmLanguages Dialog;
        Intro.show();
        Dialog.show();
        EXPECT_EQ(Dialog.lstLanguages->currentRow(), Intro.cboLanguages->currentIndex());
        EXPECT_EQ(VisibleFlag(Intro), Intro.cboLanguages->currentIndex() < 3 ? Intro.cboLanguages->currentIndex() : -1);
        return Intro.cboLanguages->currentIndex();
    }
};

TEST_F(LanguageWindowsTest, BothWindowsPreselectTheRememberedLanguageWithItsFlag) {
    auto Languages = test::ShippedLanguages;
    Languages.push_back({"de", "Deutsch", "German.lng"});
    for (int Remembered = 0; Remembered < 4; ++Remembered) {
        StartWith(Languages[Remembered].Code, Languages);
        EXPECT_EQ(Preselected(), Remembered);
    }
    TfrmIntro Intro;
    Intro.show();
    for (const int Position : {2, 0, 3, 1}) {
        Intro.cboLanguages->setCurrentIndex(Position);
        EXPECT_EQ(VisibleFlag(Intro), Position < 3 ? Position : -1) << "the flag follows the list";
    }
    TTranslator::DestroyInstance(); // no readable list
    TfrmLanguages Dialog;
    Dialog.show();
    EXPECT_EQ(Dialog.lstLanguages->count(), 0);
}

// OK switches the language and remembers it for the next start; Cancel
// leaves both the language and the list's bytes as they were.
TEST_F(LanguageWindowsTest, OKSwitchesAndRemembersCancelChangesNothing) {
    for (bool StartUpWindow : {true, false}) {
        for (bool Confirm : {false, true}) {
            SCOPED_TRACE(std::string(StartUpWindow ? "start-up window" : "language dialog") +
                         (Confirm ? ", OK" : ", Cancel"));
            StartWith("sv");
            const std::string Before = ProgramDir.Read("Languages.xml");
            const std::string FileMenu = TTranslator::GetText("MENUS", "MNU_FILE");
            auto Answer = [Confirm](auto& W) { QTest::mouseClick(Confirm ? W.btnOK : W.btnCancel, Qt::LeftButton); };
            std::unique_ptr<QDialog> Window;
            if (StartUpWindow) {
                Window = std::make_unique<TfrmIntro>();
                test::WhenShown<TfrmIntro>([&](TfrmIntro& W) { W.cboLanguages->setCurrentIndex(2), Answer(W); });
            } else {
                Window = std::make_unique<TfrmLanguages>();
                test::WhenShown<TfrmLanguages>([&](TfrmLanguages& W) { W.lstLanguages->setCurrentRow(2), Answer(W); });
            }
            EXPECT_EQ(Window->exec(), Confirm ? QDialog::Accepted : QDialog::Rejected);
            EXPECT_EQ(TTranslator::GetLanguageCode(), Confirm ? "hu" : "sv");
            EXPECT_EQ(TTranslator::GetText("MENUS", "MNU_FILE") != FileMenu, Confirm);
            EXPECT_EQ(ProgramDir.Read("Languages.xml") == Before, !Confirm);
            Restart();
            EXPECT_EQ(Preselected(), Confirm ? 2 : 1) << "at the next start";
        }
    }
}

} // namespace
} // namespace psykrona
