// The program's modal dialogs behave as dialogs under any window manager:
// their title bars ask for no minimise or maximise button, and where a
// window manager offers them anyway (openbox draws them on every title bar)
// the dialog comes straight back instead of vanishing. The stand-alone ones
// show centred on the screen wherever they were before.
#include "chart/FormOptionsChart.h"
#include "localisation/FormIntro2.h"
#include "localisation/FormLanguages.h"
#include "printing/FormPrint.h"
#include "ui/FormEditPoint.h"
#include "ui/FormVersion.h"

#include "tests/ui/UiFixture.h"

#include <QScreen>

namespace psykrona {
namespace {

using DialogWindowsTest = test::TMainWindowTest;

TEST_F(DialogWindowsTest, DialogsCanBeNeitherMinimisedNorMaximisedAndShowCentred) {
    const std::tuple<const char*, QDialog*, bool> Windows[] = {
        {"start-up window", new TfrmIntro(Form.get()), true},
        {"language dialog", new TfrmLanguages(Form.get()), false},
        {"point editor", Editor, false},
        {"chart limits", new TfrmOptionsChart(Form.get()), true},
        {"about box", new TfrmVersion(Form.get()), true},
        {"print dialog", new TfrmPrint(Form.get()), true}};
    const QRect Screen = QGuiApplication::primaryScreen()->geometry();
    for (const auto& [Name, D, Centred] : Windows) {
        SCOPED_TRACE(Name);
        const Qt::WindowFlags Flags = D->windowFlags();
        EXPECT_EQ(Flags & Qt::WindowType_Mask, Qt::Dialog);
        // Without it the platform adds the buttons it thinks fit.
        EXPECT_TRUE(Flags & Qt::CustomizeWindowHint);
        EXPECT_FALSE(Flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_EQ(bool(Flags & Qt::WindowCloseButtonHint), std::string(Name) != "start-up window");
        for (const QPoint Before : {QPoint(3, 7), QPoint(500, 1)}) {
            D->move(Before);
            D->show();
            if (Centred) {
                EXPECT_LE(std::abs(D->frameGeometry().center().x() - Screen.center().x()), 1);
                EXPECT_TRUE(Screen.contains(D->frameGeometry()));
            }
            for (auto State : {Qt::WindowMinimized, Qt::WindowMaximized, Qt::WindowFullScreen}) {
                D->setWindowState(State);
                QCoreApplication::processEvents();
                EXPECT_EQ(D->windowState(), Qt::WindowNoState);
                EXPECT_TRUE(D->isVisible());
            }
            D->hide();
        }
    }
}

} // namespace
} // namespace psykrona
