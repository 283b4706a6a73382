#pragma once

#include <string>

namespace psykrona {

// The desktop shell: opens a document with the program the user has chosen
// for it, as a double-click in the file manager would.
class TShell {
public:
    virtual ~TShell() = default;
    // Opens the local file at Path. What happens when no program takes it
    // is up to the desktop; the caller is not told.
    virtual void OpenDocument(const std::string& Path) = 0;
};

// The shell of the running desktop, through Qt.
class TQtShell : public TShell {
public:
    void OpenDocument(const std::string& Path) override;
};

} // namespace psykrona
