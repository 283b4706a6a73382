#pragma once

#include "chart/MollierDraw.h"
#include "chart/MollierOptions.h"
#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "printing/MollierPrint.h"
#include "printing/PictureFiles.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TempFolder.h"

#include <string>
#include <vector>

namespace psykrona::test {

// A small logo of LogoWidth × LogoHeight pixels, as the layout reads it.
inline constexpr int LogoWidth = 30;
inline constexpr int LogoHeight = 14;

inline std::string LogoBytes() {
    TPicture Logo;
    Logo.Width = LogoWidth;
    Logo.Height = LogoHeight;
    Logo.Rgb.assign(static_cast<std::size_t>(LogoWidth * LogoHeight * 3), 0x40);
    const std::vector<std::uint8_t> Jpeg = EncodeJpeg(Logo);
    return std::string(Jpeg.begin(), Jpeg.end());
}

// Appends to Doc a point prescribed by temperature and humidity ratio, its
// other properties computed at the document's pressure.
inline TMollierPoint& AddPrescribedPoint(TMain& Doc, double Temp, double SpecHum) {
    TMollierPoint& P = Doc.AddPoint();
    P.Number = Doc.PointCount();
    P.Temp = Temp;
    P.SpecHum = SpecHum;
    P.Prescribed1 = PROP_TEMP;
    P.Prescribed2 = PROP_SPECHUM;
    Doc.CalculateAll();
    return P;
}

// A document, a renderer and the print layout drawing on a recording
// canvas of W × H pixels, with "." as the separator, no translator (texts
// show their keys) and a program directory of its own holding the logo.
struct TPrintPage {
    TTempFolder Folder;
    TMain Doc;
    TMollierOptions Options;
    TMollierDraw Draw;
    TRecordingCanvas Canvas;
    TMollierPrint Layout;

    TPrintPage(int W, int H) {
        SetDecimalSeparator('.');
        Folder.Write("QRLOGO.jpg", LogoBytes());
        Draw.Options = &Options;
        Draw.Document = &Doc;
        Layout.FDraw = &Draw;
        Layout.FDocument = &Doc;
        Layout.FCanvas = &Canvas;
        Layout.FPageWidth = W;
        Layout.FPageHeight = H;
        Layout.FProgramDir = Folder.Dir();
    }

    const std::vector<TRecordedCall>& Print(int LayoutNumber) {
        Canvas = TRecordingCanvas();
        Layout.PrintPage(LayoutNumber, false);
        return Canvas.Calls;
    }

    TMollierPoint& AddPoint(double Temp, double SpecHum) { return AddPrescribedPoint(Doc, Temp, SpecHum); }

    // The TextOut calls with the text; none when it is not drawn.
    std::vector<TRecordedCall> TextCalls(const std::string& Text) const {
        std::vector<TRecordedCall> Out;
        for (const TRecordedCall& C : Canvas.Calls) {
            if (C.Name == "TextOut" && C.Text == Text) {
                Out.push_back(C);
            }
        }
        return Out;
    }

    // The texts drawn with their top at Y, in the order drawn.
    std::vector<TRecordedCall> CallsAt(int Y) const {
        std::vector<TRecordedCall> Out;
        for (const TRecordedCall& C : Canvas.Calls) {
            if (C.Name == "TextOut" && C.Y1 == Y) {
                Out.push_back(C);
            }
        }
        return Out;
    }
    std::vector<std::string> TextsAt(int Y) const {
        std::vector<std::string> Out;
        for (const TRecordedCall& C : CallsAt(Y)) {
            Out.push_back(C.Text);
        }
        return Out;
    }

    // The right edge of a drawn text, in the recording canvas's metrics.
    static int RightEdge(const TRecordedCall& C) {
        return C.X1 + TRecordingCanvas::CodePoints(C.Text) * TRecordingCanvas::CharWidth(C.Font.Height);
    }
};

} // namespace psykrona::test
