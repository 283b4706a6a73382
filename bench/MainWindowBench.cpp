// The main window at 1920 x 1080: a full repaint (texts, point blocks and
// chart) with 20 and with 1000 points, and the Add command on a project of
// 1000 points with the point editor answered by a script, including the
// repaint it causes.
#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "ui/FormEditPoint.h"
#include "ui/FormMain.h"
#include "ui/PsykronaApplication.h"

#include "tests/support/ScriptedUserDialogs.h"
#include "tests/xml/TempFolder.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace psykrona {
namespace {

// Points in a zigzag over the usual range, all shown and joined.
std::string ProjectWith(int Count) {
    TMain Doc;
    const TMollierCalculate& Calc = TMollierCalculate::GetInstance();
    for (int I = 0; I < Count; ++I) {
        TMollierPoint& P = Doc.AddPoint();
        P.Number = I + 1;
        P.Name = "Point " + std::to_string(I + 1);
        P.Temp = -15 + 60.0 * (I % 20) / 20;
        P.RelHum = I % 2 == 0 ? 30 : 80;
        P.SpecHum = Calc.SpecHumFromTempRelHum(P.Temp, P.RelHum);
        P.Enthalpy = Calc.Enthalpy(P.Temp, P.SpecHum);
        P.Prescribed1 = PROP_TEMP;
        P.Prescribed2 = PROP_RELHUM;
    }
    Doc.AirFlow = 2.5;
    return TMollierFileHandling::ProjectToXml(Doc);
}

// The program's main window with its point editor on a temporary program
// directory, showing a project of Count points, 1920 x 1080.
struct TScene {
    test::TTempFolder Folder;
    test::TScriptedUserDialogs Dialogs;
    std::unique_ptr<TfrmMain> Form;
    TfrmEditPoint* Editor = nullptr;

    explicit TScene(int Count) {
        SetDecimalSeparator('.');
        const std::filesystem::path Data = std::filesystem::path(PSYKRONA_SOURCE_DIR) / "data";
        for (const char* File : {"Languages.xml", "English.lng", "Swedish.lng", "Hungarian.lng"}) {
            std::filesystem::copy_file(Data / File, Folder.Path() / File);
        }
        Folder.Write("project.pkx", ProjectWith(Count));
        Form = std::make_unique<TfrmMain>(Folder.Dir());
        Editor = new TfrmEditPoint(Form.get());
        Form->Forms.frmEditPoint = Editor;
        Form->setWindowState(Qt::WindowNoState);
        Form->show();
        Form->setGeometry(0, 0, 1920, 1080);
        QCoreApplication::processEvents();
        Form->OpenProjectFile(Folder.File("project.pkx"));
        QCoreApplication::processEvents();
        if (Form->Document->PointCount() != Count) {
            throw std::runtime_error("the project did not open");
        }
    }
    ~TScene() {
        Form->Modified = false;
        Form->close();
    }
};

void BM_MainWindowRepaint(benchmark::State& State) {
    TScene Scene(static_cast<int>(State.range(0)));
    for (auto _ : State) {
        // Every widget of the window painted, as on uncovering it; repaint()
        // would skip what lies beyond the offscreen screen's 800 x 600.
        benchmark::DoNotOptimize(Scene.Form->grab());
    }
}
BENCHMARK(BM_MainWindowRepaint)->Arg(20)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_MainWindowAddPoint(benchmark::State& State) {
    TScene Scene(1000);
    TfrmEditPoint& Editor = *Scene.Editor;
    for (auto _ : State) {
        QTimer::singleShot(0, &Editor, [&Editor] {
            Editor.chkTemp->click();
            Editor.edtTemp->setText("24");
            Editor.chkRelHum->click();
            Editor.edtRelHum->setText("45");
            Editor.btnOK->click();
        });
        Scene.Form->btnAdd->click();
        QCoreApplication::processEvents(); // the repaint the command asked for
        State.PauseTiming();
        Scene.Dialogs.Answers = {TAnswer::Yes};
        Scene.Form->btnDelete->click();
        QCoreApplication::processEvents();
        State.ResumeTiming();
    }
    if (Scene.Form->Document->PointCount() != 1000 || !Scene.Dialogs.Unexpected.empty()) {
        State.SkipWithError("the script did not add and remove the point");
    }
}
BENCHMARK(BM_MainWindowAddPoint)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace psykrona

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    psykrona::TPsykronaApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
