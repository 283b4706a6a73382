#include "printing/MollierPrint.h"

#include "engine/NumberText.h"
#include "localisation/Translator.h"
#include "printing/PictureFiles.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace psykrona {

namespace {

const char* const KFace = "Arial";
const char* const KSection = "PRINT";
constexpr int KNormal = 400;
constexpr int KBold = 700;
constexpr int KHeavy = 900;

int RoundInt(double Value) {
    return static_cast<int>(Round(Value));
}

std::string Text(const char* Key) {
    return TTranslator::GetText(KSection, Key);
}

// The lines of a column heading, split at every backslash.
std::vector<std::string> HeadingLines(const std::string& Text) {
    std::vector<std::string> Lines;
    std::size_t Start = 0;
    for (;;) {
        const std::size_t Slash = Text.find('\\', Start);
        Lines.push_back(Text.substr(Start, Slash == std::string::npos ? std::string::npos : Slash - Start));
        if (Slash == std::string::npos) {
            return Lines;
        }
        Start = Slash + 1;
    }
}

// A prescribed property is shown exactly as entered, a derived one rounded.
std::string PropertyText(double Value, bool Prescribed, int Decimals) {
    return Prescribed ? FloatToStr(Value) : FormatFixed(Value, Decimals);
}

} // namespace

void TMollierPrint::LoadTexts() {
    FTexts.ProjectData = Text("TXT_PROJECT_DATA");
    FTexts.Project = Text("TXT_PROJECT");
    FTexts.Date = Text("TXT_DATE");
    FTexts.Signature = Text("TXT_SIGNATURE");
    FTexts.Company = Text("TXT_COMPANY");
    FTexts.FlowData = Text("TXT_FLOW_DATA");
    FTexts.AirFlow = Text("TXT_AIRFLOW");
    FTexts.Density = Text("TXT_DENSITY");
    FTexts.AtmPressure = Text("TXT_ATM_PRESSURE");
    FTexts.Process = Text("TXT_PROCESS");
    FTexts.Nbr = Text("TXT_NBR");
    FTexts.Name = Text("TXT_NAME");
    // The backslash breaks a heading into lines: the unit goes below.
    FTexts.Temp = Text("TXT_TEMP") + "\\(°C)";
    FTexts.RelHum = Text("TXT_REL_HUM") + "\\(%)";
    FTexts.SpecHum = Text("TXT_SPEC_HUM") + "\\(g/kg)";
    FTexts.Enthalpy = Text("TXT_ENTHALPY") + "\\(kJ/kg)";
    FTexts.Power = Text("TXT_POWER") + "\\(kW)";
    FTexts.SensPower = Text("TXT_SENS_POWER") + "\\(kW)";
    FTexts.Water = Text("TXT_WATER") + "\\(l/min)";
    FTexts.ChartTitle = Text("TXT_CHART_TITLE");
}

void TMollierPrint::PrintPage(int Layout, bool ToPrinter) {
    LoadTexts();
    if (FDocument == nullptr) {
        throw EPrintError("There is no project to print");
    }
    if (!ToPrinter) {
        if (FCanvas == nullptr) {
            throw EPrintError("The page has nothing to be drawn on");
        }
        ComputeScale();
        DrawLayout(Layout, false);
        DrawVersionMark();
        return;
    }
    if (FPrinter == nullptr) {
        throw EPrintError("No printer has been chosen");
    }
    // The printer's canvas exists only while a job runs, so the job starts
    // before the page is measured and drawn.
    FPrinter->BeginDoc();
    // The printer's canvas goes with its job; neither the layout nor the
    // borrowed renderer may keep it.
    auto Detach = [this] {
        if (FDraw != nullptr && FDraw->Canvas() == FCanvas) {
            FDraw->SetCanvas(nullptr, FDraw->ChartLeft(), FDraw->ChartTop(), FDraw->ChartWidth(),
                             FDraw->ChartHeight());
        }
        FCanvas = nullptr;
    };
    try {
        PreparePrinter();
        ComputeScale();
        // The chart picture is never printed; such a job carries only the
        // version mark.
        if (Layout != KChartPicture) {
            DrawLayout(Layout, true);
        }
        DrawVersionMark();
    } catch (...) {
        Detach();
        FPrinter->Abort();
        throw;
    }
    Detach();
    FPrinter->EndDoc();
}

void TMollierPrint::PreparePrinter() {
    FCanvas = &FPrinter->Canvas();
    FPageWidth = FPrinter->PageWidth();
    FPageHeight = FPrinter->PageHeight();
    if (FDraw != nullptr) {
        FDraw->SetCanvas(FCanvas, 0, 0, FPageWidth, FPageHeight);
    }
}

void TMollierPrint::DrawLayout(int Layout, bool DirectFonts) {
    switch (Layout) {
    case KDataPage:
        DrawDataPage();
        break;
    case KChartPage:
        DrawChartPage(DirectFonts);
        break;
    case KChartPicture:
        DrawChartPicture();
        break;
    default:
        break;
    }
}

void TMollierPrint::ComputeScale() {
    FScale = static_cast<double>(FPageWidth) / KReferenceWidth;
    FFontLarge = RoundInt(100 * FScale);
    FFontMedium = RoundInt(90 * FScale);
    FFontSmall = RoundInt(80 * FScale);
}

void TMollierPrint::SetFont(int Height, int Weight) {
    FCanvas->SetFont(TFontDesc{KFace, Height, 0, Weight});
}

void TMollierPrint::DrawText(int X, int Y, const std::string& Text, TAlign Align) {
    switch (Align) {
    case TAlign::Left:
        break;
    case TAlign::Right:
        X -= FCanvas->TextWidth(Text);
        break;
    case TAlign::Center:
        X -= FCanvas->TextWidth(Text) / 2;
        break;
    }
    FCanvas->TextOut(X, Y, Text);
}

void TMollierPrint::DrawText(int X, int Y, const std::string& Text, TAlign Align, int MaxWidth) {
    DrawText(X, Y, FitText(Text, MaxWidth), Align);
}

std::string TMollierPrint::FitText(const std::string& Text, int MaxWidth) {
    if (FCanvas->TextWidth(Text) <= MaxWidth) {
        return Text;
    }
    // Byte lengths of the beginnings of 1, 2, ... whole characters, so that
    // no cut falls inside a UTF-8 sequence.
    std::vector<std::size_t> Ends;
    for (std::size_t I = 1; I <= Text.size(); ++I) {
        if (I == Text.size() || (static_cast<unsigned char>(Text[I]) & 0xC0) != 0x80) {
            Ends.push_back(I);
        }
    }
    auto Cut = [&](std::size_t Count) {
        std::string Head = Text.substr(0, Count == 0 ? 0 : Ends[Count - 1]);
        while (!Head.empty() && Head.back() == ' ') {
            Head.pop_back();
        }
        return Head + "…";
    };
    auto Fits = [&](std::size_t Count) { return FCanvas->TextWidth(Cut(Count)) <= MaxWidth; };
    if (!Fits(0)) {
        return {};
    }
    // The widest beginning that fits with its "…": Lo always fits, Hi (the
    // whole text) never does.
    std::size_t Lo = 0;
    std::size_t Hi = Ends.size();
    while (Hi - Lo > 1) {
        const std::size_t Mid = Lo + (Hi - Lo) / 2;
        (Fits(Mid) ? Lo : Hi) = Mid;
    }
    return Cut(Lo);
}

int TMollierPrint::ColumnGap() const {
    return FFontSmall / 4;
}

void TMollierPrint::DrawColumnHeader(int X, int Y, const std::string& Text) {
    const std::vector<std::string> Lines = HeadingLines(Text);
    const int N = static_cast<int>(Lines.size());
    for (int J = 0; J < N; ++J) {
        DrawText(X, Y - (N - 1 - J) * FFontSmall, Lines[static_cast<std::size_t>(J)], TAlign::Right);
    }
}

std::string TMollierPrint::LogoPath() const {
    return (FProgramDir.empty() ? TMain::GetProgramDir() : FProgramDir) + KLogoFile;
}

TRect TMollierPrint::LogoRect(int Position) const {
    const double W = FPageWidth;
    const double H = FPageHeight;
    // Both places are 0.15 H wide and 0.07 H high, so the logo keeps its
    // shape on pages of any proportions.
    if (Position == 1) {
        return {RoundInt(0.04 * H), RoundInt(0.015 * H), RoundInt(0.19 * H), RoundInt(0.085 * H)};
    }
    return {RoundInt(0.94 * W - 0.15 * H), RoundInt(0.905 * H), RoundInt(0.94 * W), RoundInt(0.975 * H)};
}

void TMollierPrint::DrawLogo(int Position) {
    const TPicture Logo = LoadJpegFile(LogoPath());
    FCanvas->StretchDraw(LogoRect(Position), Logo);
}

void TMollierPrint::DrawVersionMark() {
    SetFont(FFontSmall, KNormal);
    DrawText(RoundInt(0.94 * FPageWidth), RoundInt(0.01 * FPageHeight), "Psykrona " + TMain::GetVersion(),
             TAlign::Right);
}

void TMollierPrint::DrawDataPage() {
    DrawLogo(1);
    DrawProjectBlock();
    DrawFlowBlock();
    DrawTable();
}

// The project block's captions and the typed texts beside them.
std::array<std::pair<const std::string*, const std::string*>, 4> TMollierPrint::ProjectRows() const {
    return {{{&FTexts.Project, &FProjectName},
             {&FTexts.Date, &FProjectDate},
             {&FTexts.Signature, &FSignature},
             {&FTexts.Company, &FCompany}}};
}

// A block of the data page: a bold heading at (Left, 15 % down) and rows of
// a caption with its text Indent to the right, cut before ValueRight.
void TMollierPrint::DrawDataBlock(double Left, double Indent, const std::string& Heading,
                                  std::span<const std::pair<std::string, std::string>> Rows, int ValueRight) {
    const int X = RoundInt(Left * FPageWidth);
    const int D = RoundInt(Indent * FPageWidth);
    const int Y = RoundInt(0.15 * FPageHeight);
    SetFont(FFontLarge, KBold);
    DrawText(X, Y, Heading, TAlign::Left);
    SetFont(FFontMedium, KNormal);
    const int S = RoundInt(1.5 * FFontMedium);
    int Row = Y + RoundInt(1.7 * FFontLarge);
    for (const auto& [Caption, Text] : Rows) {
        DrawText(X, Row, Caption, TAlign::Left);
        DrawText(X + D, Row, Text, TAlign::Left, ValueRight - ColumnGap() - (X + D));
        Row += S;
    }
}

void TMollierPrint::DrawProjectBlock() {
    std::vector<std::pair<std::string, std::string>> Rows;
    for (const auto& [Caption, Text] : ProjectRows()) {
        Rows.emplace_back(*Caption, *Text);
    }
    // The flow-data block is the next column.
    DrawDataBlock(0.08, 0.14, FTexts.ProjectData, Rows, RoundInt(0.55 * FPageWidth));
}

void TMollierPrint::DrawFlowBlock() {
    // The document holds kPa; engineers read the barometric pressure in mbar.
    const std::array<std::pair<std::string, std::string>, 3> Rows = {{
        {FTexts.AirFlow, FloatToStr(FDocument->AirFlow) + " m³/s"},
        {FTexts.Density, FormatFixed(FDocument->Density, 2) + " kg/m³"},
        {FTexts.AtmPressure, FloatToStr(FDocument->Pressure * 10) + " mbar"},
    }};
    DrawDataBlock(0.55, 0.15, FTexts.FlowData, Rows, FPageWidth);
}

// One row per point; a process is shown in the row of its later point. Rows
// that do not fit run off the page: the table has no page break.
void TMollierPrint::DrawTable() {
    const int X0 = RoundInt(0.08 * FPageWidth);
    const int C = RoundInt(0.1 * FPageWidth);
    int Y = RoundInt(0.3 * FPageHeight);
    SetFont(FFontLarge, KBold);
    DrawText(X0, Y, FTexts.Process, TAlign::Left);
    Y += 3 * FFontLarge;

    SetFont(FFontSmall, KNormal);
    const int L = FFontSmall;
    const int XName = X0 + C / 2;
    std::array<int, 7> Xk{};
    for (std::size_t K = 0; K < Xk.size(); ++K) {
        Xk[K] = X0 + C / 2 + 2 * C + static_cast<int>(K) * C;
    }
    DrawText(X0, Y, FTexts.Nbr, TAlign::Left);
    DrawText(XName, Y, FTexts.Name, TAlign::Left);
    const std::array<const std::string*, 7> Headings = {&FTexts.Temp,     &FTexts.RelHum, &FTexts.SpecHum,
                                                        &FTexts.Enthalpy, &FTexts.Power,  &FTexts.SensPower,
                                                        &FTexts.Water};
    for (std::size_t K = 0; K < Headings.size(); ++K) {
        DrawColumnHeader(Xk[K], Y, *Headings[K]);
    }

    Y += 3 * L / 2;
    FCanvas->SetPenColor(clBlack);
    FCanvas->SetPenWidth(2);
    FCanvas->MoveTo(Xk[6] + C / 6, Y);
    FCanvas->LineTo(X0, Y);
    Y += L;
    const int S = RoundInt(1.5 * L);

    // Every text ends a gap before the next column starts: the number before
    // the name, a value before the value column on its left, and the name
    // before the leftmost text of the temperature column.
    const int Gap = ColumnGap();
    const int NumberWidth = XName - Gap - X0;
    const int ValueWidth = C - Gap;
    const TMain& Doc = *FDocument;
    auto Values = [&](const TMollierPoint& P) {
        return std::array<std::string, 4>{
            PropertyText(P.Temp, P.IsPrescribed(PROP_TEMP), 1),
            PropertyText(P.RelHum, P.IsPrescribed(PROP_RELHUM), 1),
            PropertyText(P.SpecHum * 1000, P.IsPrescribed(PROP_SPECHUM), 2),
            PropertyText(P.Enthalpy, P.IsPrescribed(PROP_ENTHALPY), 1),
        };
    };
    int TempColumn = 0;
    for (const std::string& Line : HeadingLines(FTexts.Temp)) {
        TempColumn = std::max(TempColumn, FCanvas->TextWidth(Line));
    }
    for (const TMollierPoint& P : Doc.Points) {
        TempColumn = std::max(TempColumn, FCanvas->TextWidth(FitText(Values(P)[0], ValueWidth)));
    }
    const int NameWidth = Xk[0] - TempColumn - Gap - XName;

    for (int I = 0; I < Doc.PointCount(); ++I) {
        const TMollierPoint& P = Doc.Points[static_cast<std::size_t>(I)];
        DrawText(X0, Y, std::to_string(P.Number), TAlign::Left, NumberWidth);
        DrawText(XName, Y, P.Name, TAlign::Left, NameWidth);
        const std::array<std::string, 4> Texts = Values(P);
        for (std::size_t K = 0; K < Texts.size(); ++K) {
            DrawText(Xk[K], Y, Texts[K], TAlign::Right, ValueWidth);
        }
        if (I >= 1 && Doc.Points[static_cast<std::size_t>(I - 1)].LineToNext) {
            const TMollierPoint& P1 = Doc.Points[static_cast<std::size_t>(I - 1)];
            DrawText(Xk[4], Y, FormatFixed(Doc.Power(P1.Enthalpy, P.Enthalpy), 1), TAlign::Right, ValueWidth);
            DrawText(Xk[5], Y, FormatFixed(Doc.SensiblePower(P1.Temp, P.Temp, P1.SpecHum, P.SpecHum), 1),
                     TAlign::Right, ValueWidth);
            DrawText(Xk[6], Y, FormatFixed(Doc.Water(P1.SpecHum, P.SpecHum), 1), TAlign::Right, ValueWidth);
        }
        Y += S;
    }
}

std::string TMollierPrint::ChartTitle() const {
    return FTexts.ChartTitle + " " + FloatToStr(FDocument->Pressure) + " kPa";
}

// The chart fills the page but for a strip at the bottom, which holds the
// project lines and the logo.
void TMollierPrint::DrawChartPage(bool DirectFonts) {
    if (FDraw != nullptr) {
        FDraw->Document = FDocument;
        FDraw->SetCanvas(FCanvas, 0, 0, FPageWidth, RoundInt(0.95 * FPageHeight));
        FDraw->DrawDiagram(DirectFonts);
    }
    DrawLogo(2);
    SetFont(FFontLarge, KBold);
    DrawText(RoundInt(0.49 * FPageWidth), RoundInt(0.025 * FPageHeight), ChartTitle(), TAlign::Center);

    const int X = RoundInt(0.125 * FPageWidth);
    const int D = RoundInt(0.1 * FPageWidth);
    const int Y = RoundInt(0.912 * FPageHeight);
    const int S = RoundInt(1.2 * FFontMedium);
    // The logo stands beside the project lines: they end before it.
    const int TextWidth = LogoRect(2).Left - ColumnGap() - (X + D);
    int Row = Y;
    for (const auto& [Caption, Text] : ProjectRows()) {
        SetFont(FFontMedium, KBold);
        DrawText(X, Row, *Caption, TAlign::Left);
        SetFont(FFontMedium, KNormal);
        DrawText(X + D, Row, *Text, TAlign::Left, TextWidth);
        Row += S;
    }
}

// The chart is laid out 5 % taller than the picture, which cuts off part of
// its bottom margin; a square picture has no room to spare.
void TMollierPrint::DrawChartPicture() {
    if (FDraw != nullptr) {
        FDraw->Document = FDocument;
        FDraw->SetCanvas(FCanvas, 0, 0, FPageWidth, RoundInt(1.05 * FPageHeight));
        FDraw->DrawDiagram(false);
    }
    SetFont(RoundInt(1.15 * FFontLarge), KHeavy);
    DrawText(RoundInt(0.49 * FPageWidth), RoundInt(0.015 * FPageHeight), ChartTitle(), TAlign::Center);
}

} // namespace psykrona
