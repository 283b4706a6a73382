#pragma once

#include "printing/Printer.h"

#include <memory>
#include <string>
#include <vector>

class QPrinter;

namespace psykrona {

class TPageRecording;

// The print layout's printer on a QPrinter: the platform's printer chosen in
// the print dialog, or a PDF file. The QPrinter is not owned and must
// outlive this object.
//
// A page is drawn into a recording first and reaches the QPrinter only once
// it is complete, at EndDoc; Abort drops the recording. A page that fails
// half-way therefore never prints, which QPrinter's own abort cannot promise
// (it cannot take back what a PDF or CUPS job has received).
class TQtPrinter : public TPrinter {
public:
    explicit TQtPrinter(QPrinter& Printer);
    ~TQtPrinter() override;
    TQtPrinter(const TQtPrinter&) = delete;
    TQtPrinter& operator=(const TQtPrinter&) = delete;

    // When set, the jobs become the pages of one document that Finish
    // delivers; without Finish nothing is delivered. Meant for PDF files,
    // which each job of its own would replace.
    bool JobsAsPages = false;
    // The files the printed pages come from (a project, the logo): a PDF
    // file that is one of them is refused, as is one that is an existing
    // project file.
    std::vector<std::string> Inputs;

    int PageWidth() const override;
    int PageHeight() const override;
    void BeginDoc() override;
    TCanvas& Canvas() override;
    void EndDoc() override;
    void Abort() override;
    bool Printing() const override { return FPage != nullptr; }

    // Delivers the pages collected with JobsAsPages as one document. Throws
    // EPrintError. A PDF file is made whole in memory and then replaces the
    // file at once, so a failure leaves the old file or none.
    void Finish() override;
    // Pages delivered by EndDoc and Finish so far.
    int PagesDelivered() const { return FPagesDelivered; }

private:
    void Deliver(const std::vector<std::unique_ptr<TPageRecording>>& Pages);

    QPrinter& FPrinter;
    std::unique_ptr<TPageRecording> FPage;
    std::vector<std::unique_ptr<TPageRecording>> FPending;
    int FPagesDelivered = 0;
};

} // namespace psykrona
