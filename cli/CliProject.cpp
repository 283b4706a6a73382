#include "cli/CliProject.h"

#include "files/MollierFileHandling.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

namespace psykrona {

void LoadCliProject(const std::string& Path, TMain& Doc) {
    if (Path == "-") {
        return;
    }
    TDomImplementation Dom;
    TXmlParser Parser;
    TMollierFileHandling Files(Dom, Parser);
    Files.FProject = &Doc;
    if (Path.size() >= 4 && Path.compare(Path.size() - 4, 4, ".pkr") == 0) {
        Files.OpenOldProject(Path);
    } else {
        Files.OpenProject(Path);
    }
}

} // namespace psykrona
