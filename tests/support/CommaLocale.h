#pragma once

#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"

#include <filesystem>
#include <stdexcept>
#include <string>

namespace psykrona::test {

// A real comma-decimal locale (Swedish), compiled with localedef from the
// system's locale sources into a temporary folder, so that no installed
// locale is needed: a process finds it with LOCPATH set to Dir. Built once
// per test program; throws when it cannot be built, so a machine without the
// locale sources fails the test rather than skipping it.
struct TCommaLocale {
    TTempFolder Folder;
    std::string Dir = Folder.Path().string();
    std::string Name = "sv_SE.UTF-8";

    TCommaLocale() {
        const auto R = RunProcess("/usr/bin/localedef", {"-i", "sv_SE", "-f", "UTF-8", Folder.File(Name)});
        if (!std::filesystem::exists(Folder.File(Name) + "/LC_NUMERIC")) {
            throw std::runtime_error("localedef (Debian package locales) did not build " + Name + ": exit " +
                                     std::to_string(R.ExitCode) + " " + R.Err);
        }
    }

    // The environment of a program run in this locale.
    std::vector<std::string> Env() const { return {"LOCPATH=" + Dir, "LC_ALL=" + Name, "LANG=" + Name}; }
};

inline const TCommaLocale& CommaLocale() {
    static const TCommaLocale Locale;
    return Locale;
}

} // namespace psykrona::test
