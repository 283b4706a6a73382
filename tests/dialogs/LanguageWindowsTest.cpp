// The start-up window and the language dialog: OK switches the language, Qt's own texts included,
// and the next start preselects it; Cancel leaves the language and the list's bytes as they were.
#include "localisation/FormIntro2.h"
#include "localisation/FormLanguages.h"

#include "tests/ui/UiFixture.h"

#include <QComboBox>

namespace psykrona {
namespace {

using LanguageWindowsTest = test::TWindowTest;

TEST_F(LanguageWindowsTest, OKSwitchesAndIsRememberedCancelChangesNothing) {
    // The language both windows preselect at a start, and the flag shown.
    auto Preselected = [] {
        TfrmIntro Intro;
        TfrmLanguages Dialog;
        Intro.show();
        Dialog.show();
        const int Index = Intro.cboLanguages->currentIndex();
        EXPECT_EQ(Dialog.lstLanguages->currentRow(), Index);
        EXPECT_EQ(Intro.imgBritain->isVisibleTo(&Intro) + 2 * Intro.imgSweden->isVisibleTo(&Intro) +
                      4 * Intro.imgHungary->isVisibleTo(&Intro), 1 << Index) << "the flags shown";
        return Index;
    };
    const char* const Print[] = {"Print", "Skriv ut", "Nyomtatás"}; // from Qt's catalogues
    for (bool StartUpWindow : {true, false}) {
        for (bool Confirm : {false, true}) {
            SCOPED_TRACE(std::string(StartUpWindow ? "start-up window" : "language dialog") +
                         (Confirm ? ", OK" : ", Cancel"));
            const int From = StartUpWindow ? 2 : 1, To = StartUpWindow ? 1 : 2;
            StartWith(test::LanguageCodes[From]);
            const std::string Before = ProgramDir.Read("Languages.xml");
            const std::string QtBefore = QCoreApplication::translate("QPrintDialog", "Print").toStdString();
            auto Answer = [Confirm](auto& W) { QTest::mouseClick(Confirm ? W.btnOK : W.btnCancel, Qt::LeftButton); };
            std::unique_ptr<QDialog> Window;
            if (StartUpWindow) {
                Window = std::make_unique<TfrmIntro>();
                test::WhenShown<TfrmIntro>([&](TfrmIntro& W) { W.cboLanguages->setCurrentIndex(To), Answer(W); });
            } else {
                Window = std::make_unique<TfrmLanguages>();
                test::WhenShown<TfrmLanguages>([&](TfrmLanguages& W) { W.lstLanguages->setCurrentRow(To), Answer(W); });
            }
            EXPECT_EQ(Window->exec(), Confirm ? QDialog::Accepted : QDialog::Rejected);
            EXPECT_EQ(TTranslator::GetLanguageCode(), test::LanguageCodes[Confirm ? To : From]);
            EXPECT_EQ(QCoreApplication::translate("QPrintDialog", "Print").toStdString(), Confirm ? Print[To] : QtBefore);
            EXPECT_EQ(ProgramDir.Read("Languages.xml") == Before, !Confirm);
            Restart();
            EXPECT_EQ(Preselected(), Confirm ? To : From) << "at the next start";
        }
    }
}

} // namespace
} // namespace psykrona
