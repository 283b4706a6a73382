// The chart-limits dialog driven by the keyboard and mouse: typed limits as
// the clamping setters take them, a bad field reported with the dialog left
// open, and the keys and buttons that must change nothing.
#include "chart/FormOptionsChart.h"

#include "chart/MollierOptions.h"

#include "tests/ui/UiFixture.h"

#include <QTest>

#include <array>

namespace psykrona {
namespace {

using Texts = std::array<std::string, 4>;

class ChartLimitsDialogTest : public test::TWindowTest {
protected:
    ChartLimitsDialogTest() {
        StartWith("en");
        Dialog.Options = &Options;
    }
    std::array<QLineEdit*, 4> Edits() const {
        return {Dialog.edtMinTemp, Dialog.edtMaxTemp, Dialog.edtMinSpecHum, Dialog.edtMaxSpecHum};
    }
    Texts Shown() const {
        Texts T;
        for (std::size_t I = 0; I < 4; ++I) {
            T[I] = Edits()[I]->text().toStdString();
        }
        return T;
    }
    void TypeAll(const Texts& Values) {
        for (std::size_t I = 0; I < 4; ++I) {
            Edits()[I]->selectAll();
            QTest::keyClick(Edits()[I], Qt::Key_Delete);
            QTest::keyClicks(Edits()[I], QString::fromStdString(Values[I]));
        }
    }
    std::array<double, 4> Limits() const {
        return {Options.MinTemp(), Options.MaxTemp(), Options.MinSpecHum() * 1000, Options.MaxSpecHum() * 1000};
    }

    TMollierOptions Options;
    TfrmOptionsChart Dialog;
};

// Each pair is applied as minimum, maximum, minimum. A bad field stops OK
// with its message, the fields before it applied, and the typed text kept.
TEST_F(ChartLimitsDialogTest, OKAppliesTheTypedLimitsOrReportsTheFirstBadField) {
    const struct {
        Texts Typed;
        std::array<double, 4> Limits; // °C and g/kg
        std::string Message;
    } Rows[] = {
        {{"-50", "100", "0", "35"}, {-40, 80, 0, 35}, ""},       // clamped to the bounds
        {{"60", "70", "0", "35"}, {60, 70, 0, 35}, ""},          // above the old maximum
        {{"40", "30", "0", "35"}, {40, 42, 0, 35}, ""},          // inconsistent: the minimum wins
        {{"-20", "50", "5", "6"}, {-20, 50, 5, 7}, ""},          // too close
        {{"-20", "50", "-1", "1"}, {-20, 50, 0, 2}, ""},         // below 0 g/kg
        {{"-12.5", "31.25", "0.5", "22.75"}, {-12.5, 31.25, 0.5, 22.75}, ""},
        {{"x1", "30", "5", "20"}, {-20, 50, 0, 35}, "'x1' is not a valid floating point value"},
        {{"10", "abc", "5", "20"}, {10, 50, 0, 35}, "'abc' is not a valid floating point value"},
        {{"10", "30", "", "20"}, {10, 30, 0, 35}, "'' is not a valid floating point value"},
        {{"10", "30", "5", "2O"}, {10, 30, 5, 35}, "'2O' is not a valid floating point value"},
    };
    for (const auto& R : Rows) {
        SCOPED_TRACE(R.Typed[0] + " " + R.Typed[1] + " " + R.Typed[2] + " " + R.Typed[3]);
        Options = TMollierOptions();
        Dialog.show();
        TypeAll(R.Typed);
        QTest::mouseClick(Dialog.btnOK, Qt::LeftButton);
        for (std::size_t I = 0; I < 4; ++I) {
            EXPECT_NEAR(Limits()[I], R.Limits[I], 1e-12) << I;
        }
        EXPECT_EQ(Dialog.isVisible(), !R.Message.empty());
        EXPECT_EQ(Dialogs.Log(), R.Message.empty() ? test::Strings{} : test::Strings{"Message: " + R.Message});
        if (R.Message.empty()) {
            Dialog.show();
            for (std::size_t I = 0; I < 4; ++I) {
                EXPECT_EQ(StrToFloat(Shown()[I]), R.Limits[I]) << "shown again: " << Shown()[I];
            }
        } else {
            EXPECT_EQ(Shown(), R.Typed);
        }
        Dialog.hide();
        Dialogs.Clear();
    }
}

TEST_F(ChartLimitsDialogTest, EnterEscapeCancelAndTheCloseBoxChangeNothing) {
    Dialog.show();
    EXPECT_EQ(Dialog.focusWidget(), Dialog.edtMinTemp);
    const Texts Before = Shown();
    const auto LimitsBefore = Limits();
    TypeAll({"10", "30", "5", "20"});
    for (QWidget* Target : std::initializer_list<QWidget*>{Dialog.edtMinTemp, Dialog.edtMaxSpecHum, Dialog.btnOK,
                                                           Dialog.btnCancel}) {
        Target->setFocus();
        for (const Qt::Key Key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(Target, Key);
            EXPECT_TRUE(Dialog.isVisible()) << Target->metaObject()->className() << " key " << Key;
        }
    }
    for (auto Close : std::vector<std::function<void()>>{[&] { QTest::mouseClick(Dialog.btnCancel, Qt::LeftButton); },
                                                         [&] { Dialog.close(); }}) {
        Close();
        EXPECT_FALSE(Dialog.isVisible());
        EXPECT_EQ(Limits(), LimitsBefore);
        Dialog.show();
        EXPECT_EQ(Shown(), Before) << "typed values are not kept";
        TypeAll({"10", "30", "5", "20"});
    }
}

// Shown modally, in the comma separator: a bad field leaves the dialog
// open, and the corrected one ends it with OK.
TEST_F(ChartLimitsDialogTest, AModalShowingInCommaSeparatorSurvivesABadField) {
    SetDecimalSeparator(',');
    Options.SetMinTemp(-7.5);
    test::WhenShown<TfrmOptionsChart>([this](TfrmOptionsChart&) {
        EXPECT_EQ(Shown()[0], "-7,5");
        TypeAll({"10", "27.5", "5", "12,5"});
        QTest::mouseClick(Dialog.btnOK, Qt::LeftButton);
        EXPECT_TRUE(Dialog.isVisible());
        TypeAll({"10", "27,5", "5", "12,5"});
        QTest::mouseClick(Dialog.btnOK, Qt::LeftButton);
    });
    EXPECT_EQ(Dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(Dialogs.Log(), (test::Strings{"Message: '27.5' is not a valid floating point value"}));
    EXPECT_EQ(Limits(), (std::array<double, 4>{10, 27.5, 5, 12.5}));
}

} // namespace
} // namespace psykrona
