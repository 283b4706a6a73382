#pragma once

#include <string>

namespace psykrona {

class TShell;

// The help page for a language: ProgramDir + "help/" + LanguageCode +
// "/index.html" when that file exists, otherwise ProgramDir +
// "help/index.html". ProgramDir ends in "/".
std::string HelpPagePath(const std::string& ProgramDir, const std::string& LanguageCode);

// The Help command: opens the help page of the current language (the
// translator's) from the program directory in the user's browser. Reports
// nothing, whatever the shell makes of it.
void ShowHelp(TShell& Shell);
// The same below another program directory.
void ShowHelp(TShell& Shell, const std::string& ProgramDir);

} // namespace psykrona
