#include "qt/QtPrinter.h"

#include "qt/QtCanvas.h"

#include "printing/PictureFiles.h"
#include "xml/FileAccess.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace psykrona {

// A page as the calls that draw it, played onto the printer's canvas once
// the page is complete. Texts are measured with the Qt canvas's own fonts,
// which are sized in pixels and unhinted, so widths do not depend on the
// device and the layout's alignments hold on paper.
class TPageRecording : public TCanvas {
public:
    TPageRecording() : FMeasureImage(1, 1, QImage::Format_RGB32), FMeasure(FMeasureImage) {}

    void SetPenColor(TColor Value) override {
        TCanvas::SetPenColor(Value);
        Add([Value](TCanvas& C) { C.SetPenColor(Value); });
    }
    void SetPenWidth(int Value) override {
        TCanvas::SetPenWidth(Value);
        Add([Value](TCanvas& C) { C.SetPenWidth(Value); });
    }
    void SetFillColor(TColor Value) override {
        TCanvas::SetFillColor(Value);
        Add([Value](TCanvas& C) { C.SetFillColor(Value); });
    }
    void SetFillStyle(TFillStyle Value) override {
        TCanvas::SetFillStyle(Value);
        Add([Value](TCanvas& C) { C.SetFillStyle(Value); });
    }
    void SetFont(const TFontDesc& Value) override {
        TCanvas::SetFont(Value);
        Add([Value](TCanvas& C) { C.SetFont(Value); });
    }
    void MoveTo(int X, int Y) override {
        TCanvas::MoveTo(X, Y);
        Add([X, Y](TCanvas& C) { C.MoveTo(X, Y); });
    }
    void LineTo(int X, int Y) override {
        FPenPos = {X, Y};
        Add([X, Y](TCanvas& C) { C.LineTo(X, Y); });
    }
    void Ellipse(int X1, int Y1, int X2, int Y2) override {
        Add([=](TCanvas& C) { C.Ellipse(X1, Y1, X2, Y2); });
    }
    void Rectangle(int X1, int Y1, int X2, int Y2) override {
        Add([=](TCanvas& C) { C.Rectangle(X1, Y1, X2, Y2); });
    }
    void TextOut(int X, int Y, const std::string& Text) override {
        Add([X, Y, Text](TCanvas& C) { C.TextOut(X, Y, Text); });
    }
    int TextWidth(const std::string& Text) override {
        FMeasure.SetFont(FFont);
        return FMeasure.TextWidth(Text);
    }
    int TextHeight(const std::string& Text) override {
        FMeasure.SetFont(FFont);
        return FMeasure.TextHeight(Text);
    }
    void StretchDraw(const TRect& Rect, const TPicture& Picture) override {
        auto Copy = std::make_shared<const TPicture>(Picture);
        Add([Rect, Copy](TCanvas& C) { C.StretchDraw(Rect, *Copy); });
    }

    void PlayOn(TCanvas& Target) const {
        for (const auto& Call : FCalls) {
            Call(Target);
        }
    }

private:
    void Add(std::function<void(TCanvas&)> Call) { FCalls.push_back(std::move(Call)); }

    std::vector<std::function<void(TCanvas&)>> FCalls;
    QImage FMeasureImage;
    TQtCanvas FMeasure;
};

namespace {

// Plays the complete pages on a paint device, NewPage starting each page
// after the first.
template <typename TNewPage>
void PlayPages(QPaintDevice& Device, TNewPage NewPage, const std::vector<std::unique_ptr<TPageRecording>>& Pages,
               const std::string& Target) {
    QPainter Painter;
    if (!Painter.begin(&Device)) {
        throw EPrintError("Cannot print on " + Target);
    }
    try {
        for (std::size_t I = 0; I < Pages.size(); ++I) {
            if (I > 0 && !NewPage()) {
                throw EPrintError("Cannot start a new page on " + Target);
            }
            TQtCanvas Canvas(Painter);
            Pages[I]->PlayOn(Canvas);
        }
    } catch (const EPrintError&) {
        Painter.end();
        throw;
    } catch (const std::exception& E) {
        Painter.end();
        throw EPrintError(std::string(E.what()) + " (printing on " + Target + ")");
    }
    if (!Painter.end()) {
        throw EPrintError("Cannot complete the print job on " + Target);
    }
}

} // namespace

TQtPrinter::TQtPrinter(QPrinter& Printer) : FPrinter(Printer) {}

TQtPrinter::~TQtPrinter() = default;

int TQtPrinter::PageWidth() const {
    return FPrinter.width();
}

int TQtPrinter::PageHeight() const {
    return FPrinter.height();
}

void TQtPrinter::BeginDoc() {
    if (FPage != nullptr) {
        throw EPrintError("A print job is already running");
    }
    FPage = std::make_unique<TPageRecording>();
}

TCanvas& TQtPrinter::Canvas() {
    if (FPage == nullptr) {
        throw EPrintError("No print job is running");
    }
    return *FPage;
}

void TQtPrinter::EndDoc() {
    if (FPage == nullptr) {
        throw EPrintError("No print job is running");
    }
    std::unique_ptr<TPageRecording> Page = std::move(FPage);
    if (JobsAsPages) {
        FPending.push_back(std::move(Page));
        return;
    }
    std::vector<std::unique_ptr<TPageRecording>> One;
    One.push_back(std::move(Page));
    Deliver(One);
}

void TQtPrinter::Abort() {
    FPage.reset();
}

void TQtPrinter::Finish() {
    if (FPage != nullptr) {
        throw EPrintError("A print job is still running");
    }
    std::vector<std::unique_ptr<TPageRecording>> Pages = std::move(FPending);
    FPending.clear();
    if (!Pages.empty()) {
        Deliver(Pages);
    }
}

void TQtPrinter::Deliver(const std::vector<std::unique_ptr<TPageRecording>>& Pages) {
    const QString FileName = FPrinter.outputFileName();
    if (FPrinter.outputFormat() != QPrinter::PdfFormat || FileName.isEmpty()) {
        PlayPages(FPrinter, [this] { return FPrinter.newPage(); }, Pages,
                  "the printer \"" + FPrinter.printerName().toStdString() + "\"");
        FPagesDelivered += static_cast<int>(Pages.size());
        return;
    }
    const std::string Name = FileName.toStdString();
    try {
        CheckOutputFile(Name, Inputs);
    } catch (const EPictureError& E) {
        throw EPrintError(E.what());
    }
    // The printer's own PDF output writes the file as it goes and cannot
    // tell a full disk; the same document is made in memory instead.
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter Writer(&Buffer);
        Writer.setResolution(FPrinter.resolution());
        Writer.setPageLayout(FPrinter.pageLayout());
        Writer.setPdfVersion(FPrinter.pdfVersion());
        Writer.setCreator(FPrinter.creator());
        Writer.setTitle(FPrinter.docName());
        PlayPages(Writer, [&Writer] { return Writer.newPage(); }, Pages, "the file \"" + Name + "\"");
    }
    try {
        WriteFileAtomically(Name, std::string_view(Bytes.constData(), static_cast<std::size_t>(Bytes.size())));
    } catch (const std::exception& E) {
        throw EPrintError(E.what());
    }
    FPagesDelivered += static_cast<int>(Pages.size());
}

} // namespace psykrona
