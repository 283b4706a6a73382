#pragma once

#include "chart/Canvas.h"
#include "chart/MollierDraw.h"
#include "engine/Main.h"
#include "printing/Printer.h"

#include <array>
#include <span>
#include <string>
#include <utility>

namespace psykrona {

// The printed output of a project, drawn on the abstract canvas: the data
// page (layout 1), the chart page (layout 2) and the square chart picture
// (layout 3). Every position and size is a fraction of the target's width W
// and height H in device pixels and the fonts grow with W, so a page looks
// the same on a 600 dpi printer, in a preview bitmap and in a 680 × 680
// picture.
//
// Drawing on a canvas: set FDraw, FDocument, FCanvas, FPageWidth and
// FPageHeight, then PrintPage(Layout, false). Printing: set FDraw,
// FDocument, FPrinter and the four project texts, then PrintPage(Layout,
// true), one print job per call.
class TMollierPrint {
public:
    // Layouts of PrintPage.
    static constexpr int KDataPage = 1;
    static constexpr int KChartPage = 2;
    static constexpr int KChartPicture = 3;
    // The width at which the fonts are 100, 90 and 80 pixels high.
    static constexpr int KReferenceWidth = 4672;
    // The logo's file in the program directory.
    static constexpr const char* KLogoFile = "QRLOGO.jpg";

    enum class TAlign { Left, Right, Center };

    TMollierPrint() = default;
    TMollierPrint(const TMollierPrint&) = delete;
    TMollierPrint& operator=(const TMollierPrint&) = delete;

    // Not owned.
    TMollierDraw* FDraw = nullptr;
    TCanvas* FCanvas = nullptr;
    TPrinter* FPrinter = nullptr;
    // W and H in device pixels; PrintPage sets them from the printer when
    // printing.
    int FPageWidth = 0;
    int FPageHeight = 0;
    // Set by ComputeScale.
    int FFontLarge = 0;
    int FFontMedium = 0;
    int FFontSmall = 0;
    double FScale = 0;
    TMain* FDocument = nullptr;
    // The texts typed in the print dialog; not part of the project.
    std::string FProjectName;
    std::string FProjectDate;
    std::string FSignature;
    std::string FCompany;
    // Where the logo is looked for, ending in "/"; empty means the program's
    // directory.
    std::string FProgramDir;

    // Draws one layout on FCanvas, or prints it as a print job of its own on
    // FPrinter. A failure (a missing logo, say) goes to the caller with what
    // was drawn so far; a print job it interrupts is aborted first.
    void PrintPage(int Layout, bool ToPrinter);

    // The font heights for the current W.
    void ComputeScale();
    // Text with its top left (Left), top right (Right) or top centre
    // (Center) at (X, Y), in the current font.
    void DrawText(int X, int Y, const std::string& Text, TAlign Align);
    // The same with the text first cut to at most MaxWidth pixels (FitText).
    void DrawText(int X, int Y, const std::string& Text, TAlign Align, int MaxWidth);
    // Text as it is when it is at most MaxWidth pixels wide in the current
    // font; otherwise its longest beginning, whole characters, followed by
    // "…", that is (empty when not even "…" is).
    std::string FitText(const std::string& Text, int MaxWidth);
    // The room a text leaves before the next column: FFontSmall / 4.
    int ColumnGap() const;
    // A column heading right-aligned at X, split into lines at every
    // backslash; its last line stands at Y and the others above it, one
    // FFontSmall apart.
    void DrawColumnHeader(int X, int Y, const std::string& Text);
    // The logo stretched into its place: 1 at the top left of the data page,
    // 2 at the bottom right of the chart page. Throws EPictureError when the
    // logo file is missing or unreadable.
    void DrawLogo(int Position);
    void DrawVersionMark();

private:
    // The logo's place: 1 on the data page, 2 on the chart page.
    TRect LogoRect(int Position) const;
    // The texts in use, fetched at the start of every PrintPage; the column
    // headings carry their unit after a backslash.
    struct TTexts {
        std::string ProjectData, Project, Date, Signature, Company;
        std::string FlowData, AirFlow, Density, AtmPressure;
        std::string Process, Nbr, Name;
        std::string Temp, RelHum, SpecHum, Enthalpy, Power, SensPower, Water;
        std::string ChartTitle;
    };

    void LoadTexts();
    void PreparePrinter();
    void DrawLayout(int Layout, bool DirectFonts);
    void DrawDataPage();
    std::array<std::pair<const std::string*, const std::string*>, 4> ProjectRows() const;
    void DrawDataBlock(double Left, double Indent, const std::string& Heading,
                       std::span<const std::pair<std::string, std::string>> Rows, int ValueRight);
    void DrawProjectBlock();
    void DrawFlowBlock();
    void DrawTable();
    void DrawChartPage(bool DirectFonts);
    void DrawChartPicture();
    std::string ChartTitle() const;
    void SetFont(int Height, int Weight);
    std::string LogoPath() const;

    TTexts FTexts;
};

} // namespace psykrona
