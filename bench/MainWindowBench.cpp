// The main window at 1920 x 1080: a full repaint (texts, point blocks and
// chart) with 20 and with 1000 points, and the Add command on a project of
// 1000 points with the point editor answered by a script, including the
// repaint it causes. Large projects of random points spread over the chart:
// opening 100 000 and a million points until the chart is painted and the
// program idle, and a repaint of the points panel scrolled to the end of
// 100 000 points.
#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "ui/FormEditPoint.h"
#include "ui/FormMain.h"
#include "ui/PaintBox.h"
#include "ui/PointBlocks.h"
#include "ui/PsykronaApplication.h"

#include "tests/support/RandomProject.h"
#include "tests/support/ScriptedUserDialogs.h"
#include "tests/support/TempFolder.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
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

    explicit TScene(int Count) : TScene(ProjectWith(Count), Count) {}
    TScene(const std::string& Project, int Count) {
        SetDecimalSeparator('.');
        const std::filesystem::path Data = std::filesystem::path(PSYKRONA_SOURCE_DIR) / "data";
        for (const char* File : {"Languages.xml", "English.lng", "Swedish.lng", "Hungarian.lng"}) {
            std::filesystem::copy_file(Data / File, Folder.Path() / File);
        }
        Folder.Write("project.pkx", Project);
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

// From the Open command's file read until the window, chart included, is
// painted and nothing is left to do; each iteration opens the project again
// in the same window.
void BM_OpenLargeProject(benchmark::State& State) {
    const int Count = static_cast<int>(State.range(0));
    TScene Scene(test::RandomProjectXml(Count, 15), Count);
    int ChartPaints = 0;
    const auto Paint = Scene.Form->PaintBox1->OnPaint;
    Scene.Form->PaintBox1->OnPaint = [&](QPainter& Painter) {
        ++ChartPaints;
        Paint(Painter);
    };
    for (auto _ : State) {
        const int Before = ChartPaints;
        Scene.Form->OpenProjectFile(Scene.Folder.File("project.pkx"));
        QCoreApplication::processEvents();
        if (ChartPaints == Before) {
            State.SkipWithError("the chart was not painted");
        }
    }
    if (Scene.Form->Document->PointCount() != Count || Scene.Form->PointBlocks->BlockCount() != Count) {
        State.SkipWithError("the project did not open");
    }
}
BENCHMARK(BM_OpenLargeProject)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The points panel painted, scrolled to its last block.
void BM_PointsPanelRepaint(benchmark::State& State) {
    const int Count = static_cast<int>(State.range(0));
    TScene Scene(test::RandomProjectXml(Count, 15), Count);
    QScrollBar* Bar = Scene.Form->sbPoints->verticalScrollBar();
    Bar->setValue(Bar->maximum());
    QCoreApplication::processEvents();
    for (auto _ : State) {
        benchmark::DoNotOptimize(Scene.Form->sbPoints->viewport()->grab());
    }
}
BENCHMARK(BM_PointsPanelRepaint)->Arg(100000)->Unit(benchmark::kMillisecond);

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
