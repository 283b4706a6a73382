// The one entry point of every test program. Suites that draw with Qt get a
// QGuiApplication, window suites the program's own application object (so a
// failure that escapes an event handler is reported as in the program).
//
// Process-wide settings a test may change (the decimal separator, the shared
// calculator's pressure, the translator and its language) are put back after
// every test here, so no suite has to remember to, and a test that forgets
// cannot change the outcome of the next one.
#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "localisation/Translator.h"

#if PSYKRONA_TEST_APP == 2
#include "ui/PsykronaApplication.h"
#elif PSYKRONA_TEST_APP == 1
#include <QGuiApplication>
#endif

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class TRestoreSettings : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override {
        FSeparator = psykrona::DecimalSeparator();
        FPressure = psykrona::TMollierCalculate::GetInstance().Pressure;
        FHadTranslator = psykrona::TTranslator::Instance() != nullptr;
        FLanguage = -1;
        if (FHadTranslator) {
            psykrona::TTranslator::GetLanguages(FLanguage);
        }
    }
    void OnTestEnd(const testing::TestInfo&) override {
        psykrona::SetDecimalSeparator(FSeparator);
        psykrona::TMollierCalculate::GetInstance().Pressure = FPressure;
        int Now = -1;
        if (!FHadTranslator) {
            psykrona::TTranslator::DestroyInstance();
        } else if (psykrona::TTranslator::Instance() != nullptr && FLanguage >= 0 &&
                   (psykrona::TTranslator::GetLanguages(Now), Now != FLanguage)) {
            psykrona::TTranslator::SetLanguage(FLanguage);
        }
    }

    char FSeparator = '.';
    double FPressure = psykrona::TMollierCalculate::DefaultPressure;
    bool FHadTranslator = false;
    int FLanguage = -1;
};

} // namespace

int main(int argc, char** argv) {
    // Tests never depend on the machine's screen or locale.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
#if PSYKRONA_TEST_APP == 2
    psykrona::TPsykronaApplication App(argc, argv);
#elif PSYKRONA_TEST_APP == 1
    QGuiApplication App(argc, argv);
#endif
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new TRestoreSettings);
    return RUN_ALL_TESTS();
}
