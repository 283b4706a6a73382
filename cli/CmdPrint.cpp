// psykrona-cli print: the program's printed pages of a project (the data
// page and the chart page) as a PDF file of A4 pages at 600 dpi, drawn by
// the print layout through the Qt printer exactly as on paper.
#include "cli/CliCommand.h"
#include "cli/CliDrawing.h"
#include "cli/CliOutput.h"
#include "cli/CliProject.h"

#include "engine/Main.h"
#include "printing/MollierPrint.h"
#include "qt/QtPrinter.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <algorithm>
#include <cctype>

namespace psykrona {
namespace {

constexpr int KResolution = 600;
// About what a laser printer cannot reach; the printable area is then close
// to the layout's reference page of 4672 x 6774 pixels.
const QMarginsF KMarginsMm(6, 5, 6, 5);

std::string Lower(std::string S) {
    std::transform(S.begin(), S.end(), S.begin(),
                   [](unsigned char C) { return static_cast<char>(std::tolower(C)); });
    return S;
}

// "data,chart" and the like: the layouts in the order given.
std::vector<int> ParsePages(const std::string& Text) {
    std::vector<int> Pages;
    std::size_t Start = 0;
    for (;;) {
        const std::size_t Comma = Text.find(',', Start);
        const std::string Name =
            Text.substr(Start, Comma == std::string::npos ? std::string::npos : Comma - Start);
        int Layout = 0;
        if (Name == "data") {
            Layout = TMollierPrint::KDataPage;
        } else if (Name == "chart") {
            Layout = TMollierPrint::KChartPage;
        } else {
            throw EUsageError("--pages takes data, chart or both, separated by a comma, not '" + Echoed(Name) +
                              "'");
        }
        if (std::find(Pages.begin(), Pages.end(), Layout) != Pages.end()) {
            throw EUsageError("--pages names '" + Echoed(Name) + "' twice");
        }
        Pages.push_back(Layout);
        if (Comma == std::string::npos) {
            return Pages;
        }
        Start = Comma + 1;
    }
}

int RunPrint(const std::vector<std::string>& Args) {
    const TCliArgs A(Args, {"--pages", "--project", "--date", "--signature", "--company"}, {});
    if (A.Positional().size() != 2) {
        throw EUsageError("give a project (or - for an empty one) and an output file ending in .pdf");
    }
    const std::string& OutPath = A.Positional()[1];
    const std::string LowerOut = Lower(OutPath);
    if (LowerOut.size() < 4 || LowerOut.compare(LowerOut.size() - 4, 4, ".pdf") != 0) {
        throw EUsageError("the output file '" + Echoed(OutPath) + "' must end in .pdf");
    }
    const std::vector<std::string> Inputs{A.Positional()[0],
                                          TMain::GetProgramDir() + TMollierPrint::KLogoFile};
    CheckCliOutputFile(OutPath, Inputs);
    const std::vector<int> Pages =
        A.Has("--pages") ? ParsePages(A.Value("--pages"))
                         : std::vector<int>{TMollierPrint::KDataPage, TMollierPrint::KChartPage};

    TCliDrawing Job(A.Positional()[0]);
    Job.Start("print");

    QPrinter Printer(QPrinter::HighResolution);
    Printer.setOutputFormat(QPrinter::PdfFormat);
    Printer.setOutputFileName(QString::fromStdString(OutPath));
    Printer.setResolution(KResolution);
    Printer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, KMarginsMm, QPageLayout::Millimeter));
    Printer.setCreator(QString::fromStdString("Psykrona " + TMain::GetVersion()));
    Printer.setDocName(QString::fromStdString(A.Value("--project")));

    // Both pages go into the one file, which a second print job would
    // replace; nothing is written unless every page is complete.
    TQtPrinter Target(Printer);
    Target.JobsAsPages = true;
    Target.Inputs = Inputs;
    TMollierPrint Layout;
    Layout.FDraw = &Job.Draw;
    Layout.FDocument = &Job.Document;
    Layout.FPrinter = &Target;
    Layout.FProjectName = A.Value("--project");
    Layout.FProjectDate = A.Value("--date");
    Layout.FSignature = A.Value("--signature");
    Layout.FCompany = A.Value("--company");
    for (const int Page : Pages) {
        Layout.PrintPage(Page, true);
    }
    Target.Finish();
    return 0;
}

const TCliRegistration Registration("print", &RunPrint);

} // namespace
} // namespace psykrona
