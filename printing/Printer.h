#pragma once

#include "chart/Canvas.h"

#include <stdexcept>

namespace psykrona {

// A printer that cannot start, draw or finish a print job.
class EPrintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The printer the print layout draws on: the platform's current printer, a
// PDF file, or a stand-in in tests. One print job is BeginDoc, drawing on
// Canvas(), EndDoc; Abort drops a started job instead of ending it, so a
// page that fails half-way leaves no open job behind.
class TPrinter {
public:
    virtual ~TPrinter() = default;

    // The printable area of a page in device pixels; known before a job
    // starts.
    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;

    // Starts a print job. Throws EPrintError when the printer refuses.
    virtual void BeginDoc() = 0;
    // The page of the running job; only between BeginDoc and EndDoc or
    // Abort.
    virtual TCanvas& Canvas() = 0;
    // Ends the running job, which sends the page. Throws EPrintError when the
    // page cannot be delivered.
    virtual void EndDoc() = 0;
    // Drops the running job, if any. Never fails.
    virtual void Abort() = 0;
    virtual bool Printing() const = 0;
    // Ends a run of print jobs that belong together (the ticked pages of one
    // print command). A printer that gathers such jobs into one document, a
    // PDF file, delivers it now; others have already sent every job.
    virtual void Finish() {}
};

} // namespace psykrona
