// The chart-limits dialog driven through its controls: what it shows, how
// typed pairs come out through the clamping setters, the conversion error
// reaching the top-level display with the dialog left open, and the keys and
// buttons that must change nothing.
#include "chart/FormOptionsChart.h"

#include "chart/MollierOptions.h"

#include "tests/dialogs/DialogTestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <array>
#include <ostream>

namespace psykrona {
namespace {

using Texts = std::array<QString, 4>;

class ChartLimitsDialogTest : public test::TDialogTest {
protected:
    ChartLimitsDialogTest() {
        StartWith("en");
        Dialog.Options = &Options;
    }

    Texts Shown() const {
        return {Dialog.edtMinTemp->text(), Dialog.edtMaxTemp->text(), Dialog.edtMinSpecHum->text(),
                Dialog.edtMaxSpecHum->text()};
    }
    void TypeAll(const std::array<const char*, 4>& Values) {
        const std::array<QLineEdit*, 4> Edits{Dialog.edtMinTemp, Dialog.edtMaxTemp, Dialog.edtMinSpecHum,
                                              Dialog.edtMaxSpecHum};
        for (std::size_t I = 0; I < Edits.size(); ++I) {
            Type(Edits[I], Values[I]);
        }
    }
    static void Type(QLineEdit* Edit, const char* Text) {
        Edit->selectAll();
        QTest::keyClick(Edit, Qt::Key_Delete);
        QTest::keyClicks(Edit, QString::fromUtf8(Text));
    }
    void ClickOK() { QTest::mouseClick(Dialog.btnOK, Qt::LeftButton); }
    void ExpectDefaults() const {
        EXPECT_EQ(Options.MinTemp(), -20);
        EXPECT_EQ(Options.MaxTemp(), 50);
        EXPECT_EQ(Options.MinSpecHum(), 0);
        EXPECT_EQ(Options.MaxSpecHum(), 0.035);
    }

    TMollierOptions Options;
    TfrmOptionsChart Dialog;
};

TEST_F(ChartLimitsDialogTest, ShowsTheDefaultsInGPerKgWithTheFocusInTheFirstField) {
    Dialog.show();
    EXPECT_EQ(Shown(), (Texts{"-20", "50", "0", "35"}));
    EXPECT_EQ(Dialog.focusWidget(), Dialog.edtMinTemp);
}

struct TPairCase {
    const char* Name;
    std::array<const char*, 4> Typed;
    double MinTemp, MaxTemp, MinSpecHum, MaxSpecHum;
    Texts ShownAgain;
};

// Each pair is applied as minimum, maximum, minimum against the defaults.
const TPairCase PairCases[] = {
    {"ClampedToTheBounds", {"-50", "100", "0", "35"}, -40, 80, 0, 0.035, {"-40", "80", "0", "35"}},
    {"PairAboveTheOldMaximum", {"60", "70", "0", "35"}, 60, 70, 0, 0.035, {"60", "70", "0", "35"}},
    {"InconsistentPairTheMinimumWins", {"40", "30", "0", "35"}, 40, 42, 0, 0.035, {"40", "42", "0", "35"}},
    {"HumidityPair", {"-20", "50", "5", "10"}, -20, 50, 0.005, 0.010, {"-20", "50", "5", "10"}},
    {"HumidityPairTooClose", {"-20", "50", "5", "6"}, -20, 50, 0.005, 0.007, {"-20", "50", "5", "7"}},
    {"NegativeHumidity", {"-20", "50", "-1", "1"}, -20, 50, 0, 0.002, {"-20", "50", "0", "2"}},
    {"Fractions",
     {"-12.5", "31.25", "0.5", "22.75"},
     -12.5,
     31.25,
     0.0005,
     0.02275,
     {"-12.5", "31.25", "0.5", "22.75"}},
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const TPairCase& C, std::ostream* Out) {
    *Out << C.Name;
}

class ChartLimitsPairTest : public ChartLimitsDialogTest, public testing::WithParamInterface<TPairCase> {};

TEST_P(ChartLimitsPairTest, OKAppliesTheLimitsAndTheNextShowingDisplaysThem) {
    const TPairCase& C = GetParam();
    Dialog.show();
    TypeAll(C.Typed);
    ClickOK();
    EXPECT_TRUE(test::App().Errors.empty());
    EXPECT_FALSE(Dialog.isVisible());
    EXPECT_EQ(Dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Options.MinTemp(), C.MinTemp);
    EXPECT_EQ(Options.MaxTemp(), C.MaxTemp);
    EXPECT_NEAR(Options.MinSpecHum(), C.MinSpecHum, 1e-15);
    EXPECT_NEAR(Options.MaxSpecHum(), C.MaxSpecHum, 1e-15);
    Dialog.show();
    EXPECT_EQ(Shown(), C.ShownAgain);
}

INSTANTIATE_TEST_SUITE_P(Pairs, ChartLimitsPairTest, testing::ValuesIn(PairCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

struct TBadFieldCase {
    const char* Name;
    std::array<const char*, 4> Typed;
    const char* Message;
    // The limits after the failure: those before the bad field are applied.
    double MinTemp, MaxTemp, MinSpecHum, MaxSpecHum;
};

const TBadFieldCase BadFieldCases[] = {
    {"LowestTemperature",
     {"x1", "30", "5", "20"},
     "'x1' is not a valid floating point value",
     -20,
     50,
     0,
     0.035},
    {"HighestTemperature",
     {"10", "abc", "5", "20"},
     "'abc' is not a valid floating point value",
     10,
     50,
     0,
     0.035},
    {"LowestHumidity", {"10", "30", "", "20"}, "'' is not a valid floating point value", 10, 30, 0, 0.035},
    {"HighestHumidity",
     {"10", "30", "5", "2O"},
     "'2O' is not a valid floating point value",
     10,
     30,
     0.005,
     0.035},
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const TBadFieldCase& C, std::ostream* Out) {
    *Out << C.Name;
}

class ChartLimitsBadFieldTest : public ChartLimitsDialogTest,
                                public testing::WithParamInterface<TBadFieldCase> {};

TEST_P(ChartLimitsBadFieldTest, ReachesTheErrorDisplayWithEarlierFieldsAppliedAndTheDialogOpen) {
    const TBadFieldCase& C = GetParam();
    Dialog.show();
    TypeAll(C.Typed);
    ClickOK();
    EXPECT_EQ(test::App().Errors, std::vector<std::string>{C.Message});
    EXPECT_TRUE(Dialog.isVisible());
    EXPECT_EQ(Options.MinTemp(), C.MinTemp);
    EXPECT_EQ(Options.MaxTemp(), C.MaxTemp);
    EXPECT_NEAR(Options.MinSpecHum(), C.MinSpecHum, 1e-15);
    EXPECT_EQ(Options.MaxSpecHum(), C.MaxSpecHum);
    EXPECT_EQ(Shown()[1], QString::fromUtf8(C.Typed[1])) << "the edits keep what the user typed";
}

INSTANTIATE_TEST_SUITE_P(BadFields, ChartLimitsBadFieldTest, testing::ValuesIn(BadFieldCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(ChartLimitsDialogTest, AModalShowingSurvivesABadFieldAndEndsWithOKOnceCorrected) {
    QTimer::singleShot(0, &Dialog, [this] {
        Type(Dialog.edtMinTemp, "10");
        Type(Dialog.edtMaxTemp, "abc");
        ClickOK();
        EXPECT_TRUE(Dialog.isVisible());
        Type(Dialog.edtMaxTemp, "30");
        ClickOK();
    });
    EXPECT_EQ(Dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(test::App().Errors, std::vector<std::string>{"'abc' is not a valid floating point value"});
    EXPECT_EQ(Options.MinTemp(), 10);
    EXPECT_EQ(Options.MaxTemp(), 30);
}

TEST_F(ChartLimitsDialogTest, EnterAndEscapeNeitherConfirmNorCancel) {
    Dialog.show();
    TypeAll({"10", "30", "5", "20"});
    for (QWidget* Target :
         {static_cast<QWidget*>(Dialog.edtMinTemp), static_cast<QWidget*>(Dialog.edtMaxSpecHum),
          static_cast<QWidget*>(Dialog.btnOK), static_cast<QWidget*>(Dialog.btnCancel)}) {
        Target->setFocus();
        for (const Qt::Key Key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(Target, Key);
            EXPECT_TRUE(Dialog.isVisible()) << Target->metaObject()->className() << " key " << Key;
        }
    }
    ExpectDefaults();
    ClickOK();
    EXPECT_EQ(Options.MinTemp(), 10);
}

TEST_F(ChartLimitsDialogTest, CancelAndTheCloseBoxChangeNothing) {
    Dialog.show();
    TypeAll({"10", "30", "5", "20"});
    QTest::mouseClick(Dialog.btnCancel, Qt::LeftButton);
    EXPECT_FALSE(Dialog.isVisible());
    EXPECT_EQ(Dialog.result(), QDialog::Rejected);
    ExpectDefaults();

    Dialog.show();
    EXPECT_EQ(Shown(), (Texts{"-20", "50", "0", "35"})) << "typed values are not kept after Cancel";
    TypeAll({"10", "30", "5", "20"});
    Dialog.close();
    EXPECT_FALSE(Dialog.isVisible());
    ExpectDefaults();
}

TEST_F(ChartLimitsDialogTest, ReadsAndWritesNumbersWithTheDecimalSeparatorInForce) {
    SetDecimalSeparator(',');
    Options.SetMaxSpecHum(0.0125);
    Options.SetMinTemp(-7.5);
    Dialog.show();
    EXPECT_EQ(Shown(), (Texts{"-7,5", "50", "0", "12,5"}));
    Type(Dialog.edtMaxTemp, "27,5");
    ClickOK();
    EXPECT_TRUE(test::App().Errors.empty());
    EXPECT_EQ(Options.MaxTemp(), 27.5);
}

TEST_F(ChartLimitsDialogTest, TextsComeFromTheCurrentLanguageAtEveryShowing) {
    Dialog.show();
    EXPECT_EQ(Dialog.windowTitle(), "Chart limits");
    EXPECT_EQ(Dialog.stMin->text(), "(min -40°C)");
    EXPECT_EQ(Dialog.stMax->text(), "(max +80°C)");
    Dialog.hide();
    TTranslator::SetLanguage(1);
    Dialog.show();
    EXPECT_EQ(Dialog.windowTitle(), "Diagramgränser");
    EXPECT_EQ(Dialog.stMaxTemp->text(), "Högsta temperatur");
    EXPECT_EQ(Dialog.btnCancel->text(), "&Avbryt");
    EXPECT_EQ(Dialog.StaticText3->text(), "g/kg");
    EXPECT_EQ(Dialog.StaticText2->text(), "°C");
}

// Hungarian captions are longer than the design leaves room for; the columns
// move over rather than the captions running under the edits.
TEST_F(ChartLimitsDialogTest, NoCaptionRunsIntoItsFieldInAnyLanguage) {
    for (int Language = 0; Language < 3; ++Language) {
        TTranslator::SetLanguage(Language);
        Dialog.show();
        const std::string Code = TTranslator::GetLanguageCode();
        for (QLabel* Caption :
             {Dialog.stMinTemp, Dialog.stMaxTemp, Dialog.stMinspecHum, Dialog.stMaxSpecHum}) {
            EXPECT_LT(Caption->geometry().right(), Dialog.edtMinTemp->x()) << Code;
        }
        for (QWidget* W : Dialog.findChildren<QWidget*>()) {
            EXPECT_TRUE(Dialog.rect().contains(W->geometry())) << Code << " " << W->metaObject()->className();
        }
        EXPECT_LT(Dialog.edtMinTemp->geometry().right(), Dialog.StaticText1->x()) << Code;
        EXPECT_LT(Dialog.StaticText3->geometry().right(), Dialog.stMin->x()) << Code;
        Dialog.hide();
    }
}

} // namespace
} // namespace psykrona
