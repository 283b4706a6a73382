#pragma once

#include "localisation/Translator.h"
#include "printing/MollierPrint.h"
#include "printing/PictureFiles.h"
#include "tests/chart/ChartFixture.h"
#include "tests/support/TempFolder.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <string>
#include <vector>

namespace psykrona::test {

// A small logo, as the layout reads it from the program's folder.
inline std::string LogoBytes() {
    const std::vector<std::uint8_t> Jpeg = EncodeJpeg(TPicture{30, 14, std::vector<std::uint8_t>(30 * 14 * 3, 0x40)});
    return std::string(Jpeg.begin(), Jpeg.end());
}

// A document, a renderer and the print layout drawing on a recording
// canvas of W × H pixels, with a program folder of its own holding the logo.
// Without English() texts show their keys.
struct TPrintPage {
    TTempFolder Folder;
    TMain Doc;
    TMollierOptions Options;
    TMollierDraw Draw;
    TRecordingCanvas Canvas;
    TMollierPrint Layout;
    TDomImplementation Dom;
    TXmlParser Parser{Dom};

    TPrintPage(int W, int H) {
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

    // The shipped English texts (the test's listener removes the translator).
    void English() {
        for (const char* Name : {"Languages.xml", "English.lng"}) {
            Folder.Write(Name, ReadFile(std::string(PSYKRONA_SOURCE_DIR) + "/data/" + Name));
        }
        TTranslator::CreateInstance(Dom, Parser, Folder.Dir());
    }

    const std::vector<TRecordedCall>& Print(int LayoutNumber) {
        Canvas = TRecordingCanvas();
        Layout.PrintPage(LayoutNumber, false);
        return Canvas.Calls;
    }

    TMollierPoint& AddPoint(double Temp, double SpecHum) { return AddPrescribedPoint(Doc, Temp, SpecHum); }

    std::vector<TRecordedCall> TextCalls(const std::string& Text) const {
        std::vector<TRecordedCall> Out;
        for (const TRecordedCall& C : Canvas.Calls) {
            if (C.Name == "TextOut" && C.Text == Text) {
                Out.push_back(C);
            }
        }
        return Out;
    }
};

} // namespace psykrona::test
