// The start-up window and the language dialog: OK switches the language,
// Qt's own dialogs included, and the next start preselects it with its flag
// in both windows; Cancel leaves the language and the list's bytes as they
// were.
#include "localisation/FormIntro2.h"
#include "localisation/FormLanguages.h"

#include "tests/ui/UiFixture.h"

#include <QComboBox>
#include <QTest>

namespace psykrona {
namespace {

using LanguageWindowsTest = test::TWindowTest;

TEST_F(LanguageWindowsTest, OKSwitchesAndIsRememberedCancelChangesNothing) {
    // The language both windows preselect at a start, with the flag of the
    // start-up window's list position.
    auto Preselected = [] {
        TfrmIntro Intro;
        TfrmLanguages Dialog;
        Intro.show();
        Dialog.show();
        const int Index = Intro.cboLanguages->currentIndex();
        EXPECT_EQ(Dialog.lstLanguages->currentRow(), Index);
        const QLabel* Flags[] = {Intro.imgBritain, Intro.imgSweden, Intro.imgHungary};
        for (int I = 0; I < 3; ++I) {
            EXPECT_EQ(Flags[I]->isVisibleTo(&Intro), I == Index) << I;
        }
        return Index;
    };
    for (bool StartUpWindow : {true, false}) {
        for (bool Confirm : {false, true}) {
            SCOPED_TRACE(std::string(StartUpWindow ? "start-up window" : "language dialog") +
                         (Confirm ? ", OK" : ", Cancel"));
            StartWith("hu");
            const std::string Before = ProgramDir.Read("Languages.xml");
            auto Answer = [Confirm](auto& W) { QTest::mouseClick(Confirm ? W.btnOK : W.btnCancel, Qt::LeftButton); };
            std::unique_ptr<QDialog> Window;
            if (StartUpWindow) {
                Window = std::make_unique<TfrmIntro>();
                test::WhenShown<TfrmIntro>([&](TfrmIntro& W) { W.cboLanguages->setCurrentIndex(1), Answer(W); });
            } else {
                Window = std::make_unique<TfrmLanguages>();
                test::WhenShown<TfrmLanguages>([&](TfrmLanguages& W) { W.lstLanguages->setCurrentRow(1), Answer(W); });
            }
            EXPECT_EQ(Window->exec(), Confirm ? QDialog::Accepted : QDialog::Rejected);
            EXPECT_EQ(TTranslator::GetLanguageCode(), Confirm ? "sv" : "hu");
            if (Confirm) {
                EXPECT_EQ(QCoreApplication::translate("QPrintDialog", "Print").toStdString(), "Skriv ut");
            }
            EXPECT_EQ(ProgramDir.Read("Languages.xml") == Before, !Confirm);
            Restart();
            EXPECT_EQ(Preselected(), Confirm ? 1 : 2) << "at the next start";
        }
    }
}

} // namespace
} // namespace psykrona
