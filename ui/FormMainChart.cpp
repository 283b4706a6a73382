// The main window's chart: its paint and the cursor read-out.
#include "ui/FormMain.h"

#include "chart/MollierDraw.h"
#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "qt/QtCanvas.h"
#include "ui/PaintBox.h"
#include "ui/UserDialogs.h"

#include <stdexcept>
#include <string>

namespace psykrona {

void TfrmMain::FormPaint(QPainter& Painter) {
    try {
        ApplyTexts();
        RefreshPointsPanel();
        PaintChartView(Painter);
        RefreshPointsPanel();
    } catch (const std::exception& Failure) {
        // A box cannot open inside a paint event; it opens right after, once.
        if (!FPaintFailureQueued) {
            FPaintFailureQueued = true;
            const std::string Message = Failure.what();
            QMetaObject::invokeMethod(
                this,
                [this, Message] {
                    ReportFailure(std::runtime_error(Message));
                    FPaintFailureQueued = false;
                },
                Qt::QueuedConnection);
        }
    }
}

// Drawn straight on the painter's device: on a screen of a higher pixel
// ratio every line and letter is drawn at its full resolution.
void TfrmMain::PaintChartView(QPainter& Painter) {
    TQtCanvas Canvas(Painter);
    Canvas.SetPenColor(clBlack);
    Canvas.SetPenWidth(3);
    Canvas.SetFillColor(clWhite);
    Canvas.SetFillStyle(TFillStyle::Solid);
    Canvas.Rectangle(0, 0, PaintBox1->width(), PaintBox1->height());
    DrawChart(Canvas);
}

void TfrmMain::DrawChart(TCanvas& Canvas) {
    if (!DrawingEnabled) {
        return;
    }
    Draw->SetCanvas(&Canvas, 0, 0, PaintBox1->width(), PaintBox1->height());
    Draw->Document = Document.get();
    Draw->DrawDiagram(false);
}

void TfrmMain::PaintBox1MouseMove(int X, int Y) {
    try {
        const TMoistAirState State = Draw->PixelToState(X, Y);
        std::string Text;
        if (Draw->MinTemp() <= State.Temp && State.Temp <= Draw->MaxTemp() &&
            Draw->MinSpecHum() <= State.SpecHum && State.SpecHum <= Draw->MaxSpecHum() &&
            State.RelHum <= 100) {
            Text = "T=" + FormatFixed(State.Temp, 1) + " °C    " + "RH=" + FormatFixed(State.RelHum, 1) +
                   " %    " + "x=" + FormatFixed(State.SpecHum * 1000, 1) + " g/kg    " +
                   "i=" + FormatFixed(State.Enthalpy, 1) + " kJ/kg";
        }
        SetStatusText(1, Text);
    } catch (...) {
        // The read-out keeps its last text where the pointer has no state.
    }
}

} // namespace psykrona
