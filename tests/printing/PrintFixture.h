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
    const auto Jpeg = EncodeJpeg(TPicture{30, 14, std::vector<std::uint8_t>(30 * 14 * 3, 0x40)});
    return std::string(Jpeg.begin(), Jpeg.end());
}

// The print layout drawing a chart's document on its recording canvas of
// W × H pixels, with a program folder of its own holding the logo. Without
// English() texts show their keys.
struct TPrintPage : TChart {
    TTempFolder Folder;
    TMollierPrint Layout;
    TDomImplementation Dom;
    TXmlParser Parser{Dom};

    TPrintPage(int W, int H) : TChart(W, H) {
        Folder.Write("QRLOGO.jpg", LogoBytes());
        Layout.FDraw = &Draw;
        Layout.FDocument = &Doc;
        Layout.FCanvas = &Canvas;
        Layout.FPageWidth = W;
        Layout.FPageHeight = H;
        Layout.FProgramDir = Folder.Dir();
    }

    // The shipped English texts; the test's listener removes the translator.
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
