#pragma once

#include "printing/Printer.h"
#include "tests/support/RecordingCanvas.h"

#include <string>
#include <vector>

namespace psykrona::test {

// A printer that keeps the page of every job it ends, for checks on what was
// printed. Misuse (a canvas outside a job, a job inside
// another) is noted in Faults.
class TRecordingPrinter : public TPrinter {
public:
    TRecordingPrinter(int Width = 4672, int Height = 6774) : FWidth(Width), FHeight(Height) {}

    std::vector<TRecordingCanvas> Jobs; // the pages of ended jobs, in order
    std::vector<std::string> Faults;
    int Aborted = 0;

    int PageWidth() const override { return FWidth; }
    int PageHeight() const override { return FHeight; }
    void BeginDoc() override {
        Check(!FRunning, "a job began inside another");
        FRunning = true;
        FPage = TRecordingCanvas();
    }
    TCanvas& Canvas() override {
        Check(FRunning, "the canvas is used outside a job");
        return FPage;
    }
    void EndDoc() override {
        Check(FRunning, "a job ended that had not begun");
        FRunning = false;
        Jobs.push_back(FPage);
    }
    void Abort() override {
        ++Aborted;
        FRunning = false;
    }
    bool Printing() const override { return FRunning; }
    void Finish() override {}

private:
    void Check(bool Ok, const char* Fault) {
        if (!Ok) {
            Faults.emplace_back(Fault);
        }
    }

    int FWidth;
    int FHeight;
    bool FRunning = false;
    TRecordingCanvas FPage;
};

} // namespace psykrona::test
