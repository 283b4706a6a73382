// The program's modal dialogs behave as dialogs under any window manager:
// their title bars ask for no minimise or maximise button, and where a
// window manager offers them anyway (openbox draws them on every title bar)
// the dialog comes straight back to its normal state instead of vanishing.
#include "chart/FormOptionsChart.h"
#include "localisation/FormIntro2.h"
#include "localisation/FormLanguages.h"
#include "ui/FormEditPoint.h"
#include "ui/FormVersion.h"

#include "tests/ui/UiFixture.h"

#include <QCoreApplication>
#include <QDialog>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace psykrona {
namespace {

using DialogWindowsTest = test::TMainWindowTest;

TEST_F(DialogWindowsTest, DialogsCanBeNeitherMinimisedNorMaximised) {
    struct TCase {
        const char* Name;
        std::unique_ptr<QDialog> Dialog;
        bool CloseBox;
    };
    std::vector<TCase> Cases;
    Cases.push_back({"start-up window", std::make_unique<TfrmIntro>(Form.get()), false});
    Cases.push_back({"language dialog", std::make_unique<TfrmLanguages>(Form.get()), true});
    Cases.push_back({"point editor", std::make_unique<TfrmEditPoint>(Form.get()), true});
    Cases.push_back({"chart limits", std::make_unique<TfrmOptionsChart>(Form.get()), true});
    Cases.push_back({"about box", std::make_unique<TfrmVersion>(Form.get()), true});
    for (TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        QDialog& D = *C.Dialog;
        const Qt::WindowFlags Flags = D.windowFlags();
        EXPECT_EQ(Flags & Qt::WindowType_Mask, Qt::Dialog);
        // Without it the platform adds the buttons it thinks fit.
        EXPECT_TRUE(Flags & Qt::CustomizeWindowHint);
        EXPECT_FALSE(Flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_EQ(bool(Flags & Qt::WindowCloseButtonHint), C.CloseBox);
        D.show();
        for (auto Ask : std::vector<std::function<void()>>{[&] { D.showMinimized(); }, [&] { D.showMaximized(); },
                                                             [&] { D.setWindowState(Qt::WindowFullScreen); }}) {
            Ask();
            QCoreApplication::processEvents();
            EXPECT_EQ(D.windowState(), Qt::WindowNoState);
            EXPECT_TRUE(D.isVisible());
        }
        D.hide();
    }
}

} // namespace
} // namespace psykrona
