// The about box's texts, and where each of our dialogs appears on the screen.
#include "chart/FormOptionsChart.h"
#include "localisation/FormIntro2.h"
#include "localisation/FormLanguages.h"
#include "printing/FormPrint.h"
#include "ui/FormVersion.h"

#include "tests/dialogs/DialogTestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>
#include <ostream>

namespace psykrona {
namespace {

class AboutBoxTest : public test::TDialogTest {};

struct TAboutCase {
    const char* Code;
    int Index;
    const char* DevelopedBy;
    const char* Close;
};

TEST_F(AboutBoxTest, ShowsTheVersionAndTheTranslatedCaptionsAtEveryShowing) {
    StartWith("en");
    TfrmVersion About;
    for (const TAboutCase& C :
         {TAboutCase{"en", 0, "Developed by", "&Close"}, TAboutCase{"sv", 1, "Utvecklad av", "&Stäng"},
          TAboutCase{"hu", 2, "Fejlesztette:", "&Bezárás"}}) {
        TTranslator::SetLanguage(C.Index);
        About.show();
        EXPECT_EQ(About.windowTitle(), "Psykrona") << C.Code;
        EXPECT_EQ(About.lblTitle->text(), "Psykrona 2.1b");
        EXPECT_EQ(About.lblBy->text(), QString::fromUtf8(C.DevelopedBy));
        EXPECT_EQ(About.btnClose->text(), QString::fromUtf8(C.Close));
        for (QLabel* L : About.findChildren<QLabel*>()) {
            EXPECT_FALSE(L->text().isEmpty()) << C.Code;
            EXPECT_TRUE(About.rect().adjusted(0, 0, -8, -8).contains(L->geometry()))
                << C.Code << ": " << L->text().toStdString();
        }
        QTest::mouseClick(About.btnClose, Qt::LeftButton);
        EXPECT_FALSE(About.isVisible());
        EXPECT_EQ(About.result(), QDialog::Accepted);
    }
    EXPECT_EQ(About.Label4->text(), "https://psykrona.example");
    EXPECT_EQ(About.lblName->text(), "The Psykrona developers");
    EXPECT_EQ(About.size(), QSize(265, 225));
}

struct TPlacementCase {
    const char* Name;
    std::function<std::unique_ptr<QDialog>()> Make;
    int Divisor;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const TPlacementCase& C, std::ostream* Out) {
    *Out << C.Name;
}

class PlacementTest : public test::TDialogTest, public testing::WithParamInterface<TPlacementCase> {};

TEST_P(PlacementTest, ShowingPutsTheDialogWhereItBelongsWhateverPositionItHad) {
    StartWith("hu");
    const std::unique_ptr<QDialog> Dialog = GetParam().Make();
    Dialog->move(3, 7);
    Dialog->show();
    EXPECT_EQ(Dialog->frameGeometry().topLeft(),
              test::ExpectedPlace(Dialog->frameGeometry().size(), GetParam().Divisor));
    Dialog->hide();
    Dialog->move(500, 1);
    Dialog->show();
    EXPECT_EQ(Dialog->frameGeometry().topLeft(),
              test::ExpectedPlace(Dialog->frameGeometry().size(), GetParam().Divisor));
}

const TPlacementCase PlacementCases[] = {
    {"ChartLimits", [] { return std::make_unique<TfrmOptionsChart>(); }, 3},
    {"AboutBox", [] { return std::make_unique<TfrmVersion>(); }, 3},
    {"PrintDialog", [] { return std::make_unique<TfrmPrint>(); }, 3},
    {"StartUpWindow", [] { return std::make_unique<TfrmIntro>(); }, 2},
};

INSTANTIATE_TEST_SUITE_P(Dialogs, PlacementTest, testing::ValuesIn(PlacementCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace
} // namespace psykrona
