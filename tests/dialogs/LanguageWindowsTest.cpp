// The start-up window and the language dialog on a temporary program
// directory: which language and flag they preselect, what OK and Cancel do to
// the current language and to "Languages.xml", and that a choice carries over
// to the next start.
#include "localisation/FormIntro2.h"
#include "localisation/FormLanguages.h"

#include "engine/Main.h"

#include "tests/dialogs/DialogTestSupport.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace psykrona {
namespace {

class LanguageWindowsTest : public test::TDialogTest {
protected:
    // The flag the start-up window shows: 0 British, 1 Swedish, 2 Hungarian,
    // -1 none; fails when more than one is visible.
    static int VisibleFlag(const TfrmIntro& Intro) {
        int Shown = -1;
        int Count = 0;
        const QLabel* Flags[] = {Intro.imgBritain, Intro.imgSweden, Intro.imgHungary};
        for (int I = 0; I < 3; ++I) {
            if (Flags[I]->isVisibleTo(&Intro)) {
                Shown = I;
                ++Count;
            }
        }
        EXPECT_LE(Count, 1);
        return Shown;
    }
};

struct TPreselectCase {
    const char* Default;
    int Index;
    const char* Name;
};

TEST_F(LanguageWindowsTest, StartUpWindowPreselectsTheRememberedLanguageWithItsFlag) {
    for (const TPreselectCase& C : {TPreselectCase{"en", 0, "English"}, TPreselectCase{"sv", 1, "Svenska"},
                                    TPreselectCase{"hu", 2, "Magyar"}}) {
        StartWith(C.Default);
        TfrmIntro Intro;
        Intro.show();
        EXPECT_EQ(Intro.cboLanguages->count(), 3);
        EXPECT_EQ(Intro.cboLanguages->currentIndex(), C.Index) << C.Default;
        EXPECT_EQ(Intro.cboLanguages->currentText(), C.Name);
        EXPECT_EQ(VisibleFlag(Intro), C.Index) << C.Default;
    }
}

TEST_F(LanguageWindowsTest, TheFlagFollowsTheListPositionAndAFourthEntryHasNone) {
    auto Languages = test::ShippedLanguages();
    Languages.push_back({"de", "Deutsch", "German.lng"});
    StartWith("de", Languages);
    TfrmIntro Intro;
    Intro.show();
    EXPECT_EQ(Intro.cboLanguages->currentIndex(), 3);
    EXPECT_EQ(VisibleFlag(Intro), -1);
    for (const int Position : {2, 0, 1, 3, 2}) {
        Intro.cboLanguages->setCurrentIndex(Position);
        EXPECT_EQ(VisibleFlag(Intro), Position < 3 ? Position : -1) << Position;
    }
}

TEST_F(LanguageWindowsTest, StartUpWindowCaptionsAreFixedWhateverTheLanguage) {
    StartWith("hu");
    TfrmIntro Intro;
    Intro.show();
    EXPECT_EQ(Intro.stTitle->text(), "Psykrona 2.1b");
    EXPECT_EQ(Intro.windowTitle(), "Psykrona");
    EXPECT_EQ(Intro.btnOK->text(), "OK");
    EXPECT_EQ(Intro.btnCancel->text(), "Cancel");
    EXPECT_FALSE(Intro.windowFlags() & Qt::WindowCloseButtonHint);
}

TEST_F(LanguageWindowsTest, CancelInTheStartUpWindowLeavesTheLanguageListUntouched) {
    StartWith("sv");
    const std::string Before = LanguageList();
    TfrmIntro Intro;
    QTimer::singleShot(0, &Intro, [&Intro] {
        Intro.cboLanguages->setCurrentIndex(2);
        QTest::mouseClick(Intro.btnCancel, Qt::LeftButton);
    });
    EXPECT_EQ(Intro.exec(), QDialog::Rejected);
    EXPECT_EQ(LanguageList(), Before);
    EXPECT_EQ(TTranslator::GetLanguageCode(), "sv");
}

TEST_F(LanguageWindowsTest, OKInTheStartUpWindowSwitchesAndTheNextStartPreselectsTheChoice) {
    StartWith("en");
    {
        TfrmIntro Intro;
        QTimer::singleShot(0, &Intro, [&Intro] {
            Intro.cboLanguages->setCurrentIndex(2);
            QTest::mouseClick(Intro.btnOK, Qt::LeftButton);
        });
        EXPECT_EQ(Intro.exec(), QDialog::Accepted);
    }
    EXPECT_EQ(TTranslator::GetLanguageCode(), "hu");
    EXPECT_NE(LanguageList().find("<default>\r\n    <language>hu</language>"), std::string::npos)
        << LanguageList();

    Restart();
    TfrmIntro Next;
    Next.show();
    EXPECT_EQ(Next.cboLanguages->currentText(), "Magyar");
    EXPECT_EQ(VisibleFlag(Next), 2);
}

TEST_F(LanguageWindowsTest, LanguageDialogShowsItsTextsAndTheCurrentLanguage) {
    StartWith("en");
    TfrmLanguages Dialog;
    EXPECT_EQ(Dialog.windowTitle(), "Språkinställningar") << "caption before the first showing";
    Dialog.show();
    EXPECT_EQ(Dialog.windowTitle(), "Language");
    EXPECT_EQ(Dialog.stChooseLanguage->text(), "Choose a language");
    EXPECT_EQ(Dialog.btnCancel->text(), "&Cancel");
    ASSERT_EQ(Dialog.lstLanguages->count(), 3);
    EXPECT_EQ(Dialog.lstLanguages->item(1)->text(), "Svenska");
    EXPECT_EQ(Dialog.lstLanguages->currentRow(), 0);
    Dialog.hide();

    TTranslator::SetLanguage(1);
    Dialog.show();
    EXPECT_EQ(Dialog.windowTitle(), "Språkinställningar");
    EXPECT_EQ(Dialog.btnCancel->text(), "&Avbryt");
    EXPECT_EQ(Dialog.lstLanguages->count(), 3) << "each showing rebuilds the list";
    EXPECT_EQ(Dialog.lstLanguages->currentRow(), 1);
}

TEST_F(LanguageWindowsTest, LanguageDialogOKChangesTheTextsAndTheNextStartPreselectsTheChoice) {
    StartWith("en");
    const std::string EnglishMenu = TTranslator::GetText("MENUS", "MNU_FILE");
    {
        TfrmLanguages Dialog;
        QTimer::singleShot(0, &Dialog, [&Dialog] {
            Dialog.lstLanguages->setCurrentRow(1);
            QTest::mouseClick(Dialog.btnOK, Qt::LeftButton);
        });
        EXPECT_EQ(Dialog.exec(), QDialog::Accepted);
    }
    // The main window fetches its texts at every repaint; they are Swedish now.
    EXPECT_EQ(TTranslator::GetLanguageCode(), "sv");
    EXPECT_NE(TTranslator::GetText("MENUS", "MNU_FILE"), EnglishMenu);
    EXPECT_EQ(TTranslator::GetText("CHART_LIMITS_DIALOG", "TITLE"), "Diagramgränser");

    Restart();
    EXPECT_EQ(TTranslator::GetLanguageCode(), "sv");
    TfrmIntro Intro;
    Intro.show();
    EXPECT_EQ(Intro.cboLanguages->currentText(), "Svenska");
    EXPECT_EQ(VisibleFlag(Intro), 1);
}

TEST_F(LanguageWindowsTest, LanguageDialogCancelChangesNothing) {
    StartWith("hu");
    const std::string Before = LanguageList();
    TfrmLanguages Dialog;
    Dialog.show();
    Dialog.lstLanguages->setCurrentRow(0);
    QTest::mouseClick(Dialog.btnCancel, Qt::LeftButton);
    EXPECT_EQ(Dialog.result(), QDialog::Rejected);
    EXPECT_EQ(TTranslator::GetLanguageCode(), "hu");
    EXPECT_EQ(LanguageList(), Before);
}

TEST_F(LanguageWindowsTest, WithoutAReadableListBothWindowsShowAnEmptyList) {
    TfrmIntro Intro;
    Intro.show();
    EXPECT_EQ(Intro.cboLanguages->count(), 0);
    EXPECT_EQ(VisibleFlag(Intro), -1);
    TfrmLanguages Dialog;
    Dialog.show();
    EXPECT_EQ(Dialog.lstLanguages->count(), 0);
    EXPECT_EQ(Dialog.windowTitle(), "TITLE") << "missing texts show their keys";
}

struct TFlagPixel {
    int Position;
    int X, Y;
    QColor Colour;
};

// Pixels that tell the flags apart and catch a misdrawn one: the Swedish
// cross set towards the hoist, the Hungarian band order, and the Union Flag's
// red saltire lying below the diagonal at the upper hoist and above it at the
// upper fly.
const TFlagPixel FlagPixels[] = {
    {0, 16, 16, QColor(0xC8, 0x10, 0x2E)}, {0, 16, 1, QColor(0xC8, 0x10, 0x2E)},
    {0, 9, 3, QColor(0x01, 0x21, 0x69)},   {0, 5, 6, QColor(0xC8, 0x10, 0x2E)},
    {0, 6, 5, QColor(Qt::white)},          {0, 25, 5, QColor(0xC8, 0x10, 0x2E)},
    {0, 26, 6, QColor(Qt::white)},         {1, 3, 3, QColor(0x00, 0x6A, 0xA7)},
    {1, 11, 3, QColor(0xFE, 0xCC, 0x02)},  {1, 28, 15, QColor(0xFE, 0xCC, 0x02)},
    {1, 22, 28, QColor(0x00, 0x6A, 0xA7)}, {2, 16, 4, QColor(0xCD, 0x2A, 0x3E)},
    {2, 16, 16, QColor(Qt::white)},        {2, 16, 28, QColor(0x43, 0x6F, 0x4D)},
};

TEST_F(LanguageWindowsTest, FlagsAreTheBritishSwedishAndHungarianFlags) {
    for (const TFlagPixel& P : FlagPixels) {
        const QImage Flag = TfrmIntro::FlagPicture(P.Position).toImage();
        ASSERT_EQ(Flag.size(), QSize(32, 32));
        EXPECT_EQ(Flag.pixelColor(P.X, P.Y), P.Colour)
            << "flag " << P.Position << " at " << P.X << "," << P.Y << " is "
            << Flag.pixelColor(P.X, P.Y).name().toStdString();
    }
}

} // namespace
} // namespace psykrona
