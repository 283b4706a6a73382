#include "cli/CliProject.h"

#include "cli/CliCommand.h"

#include "files/MollierFileHandling.h"
#include "printing/PictureFiles.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <string>

namespace psykrona {

void LoadCliProject(const std::string& Path, TMain& Doc) {
    if (Path == "-") {
        return;
    }
    TDomImplementation Dom;
    TXmlParser Parser;
    TMollierFileHandling Files(Dom, Parser);
    Files.FProject = &Doc;
    // Names from other systems carry the extension in any case ("OLD.PKR").
    const auto IsOldExtension = [&] {
        if (Path.size() < 4) {
            return false;
        }
        std::string Extension = Path.substr(Path.size() - 4);
        for (char& C : Extension) {
            if (C >= 'A' && C <= 'Z') {
                C = static_cast<char>(C - 'A' + 'a');
            }
        }
        return Extension == ".pkr";
    };
    if (IsOldExtension()) {
        Files.OpenOldProject(Path);
    } else {
        Files.OpenProject(Path);
    }
}

void CheckCliOutputFile(const std::string& Path, const std::vector<std::string>& Inputs, bool MayReplaceProject) {
    try {
        CheckOutputFile(Path, Inputs, MayReplaceProject);
    } catch (const EPictureError& E) {
        throw EUsageError(E.what());
    }
}

} // namespace psykrona
