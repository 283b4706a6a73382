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

inline std::string JpegBytes(const TPicture& Picture) {
    const auto Jpeg = EncodeJpeg(Picture);
    return {Jpeg.begin(), Jpeg.end()};
}

// A small logo, as the layout reads it from the program's folder.
inline std::string LogoBytes() { return JpegBytes({30, 14, std::vector<std::uint8_t>(30 * 14 * 3, 0x40)}); }

// The print layout drawing a chart's document on its W × H recording canvas,
// with a program folder holding the logo; texts show their keys until English().
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
};

} // namespace psykrona::test
