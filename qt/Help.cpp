#include "qt/Help.h"

#include "engine/Main.h"
#include "localisation/Translator.h"
#include "qt/Shell.h"

#include <filesystem>
#include <system_error>

namespace psykrona {

std::string HelpPagePath(const std::string& ProgramDir, const std::string& LanguageCode) {
    const std::string Help = ProgramDir + "help/";
    if (!LanguageCode.empty()) {
        const std::string Localised = Help + LanguageCode + "/index.html";
        std::error_code Ignored;
        if (std::filesystem::is_regular_file(Localised, Ignored)) {
            return Localised;
        }
    }
    return Help + "index.html";
}

void ShowHelp(TShell& Shell) {
    ShowHelp(Shell, TMain::GetProgramDir());
}

void ShowHelp(TShell& Shell, const std::string& ProgramDir) {
    Shell.OpenDocument(HelpPagePath(ProgramDir, TTranslator::GetLanguageCode()));
}

} // namespace psykrona
