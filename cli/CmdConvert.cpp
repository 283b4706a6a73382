// psykrona-cli convert: any project file, older ".pkr" included, to ".pkx".
#include "cli/CliCommand.h"
#include "cli/CliProject.h"

#include "files/MollierFileHandling.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <iostream>

namespace psykrona {
namespace {

int RunConvert(const std::vector<std::string>& Args) {
    const TCliArgs A(Args, {}, {});
    if (A.Positional().size() != 2) {
        throw EUsageError("give the project to read and the \".pkx\" file to write");
    }
    const std::string& In = A.Positional()[0];
    const std::string& Out = A.Positional()[1];
    if (Out.size() < 4 || Out.compare(Out.size() - 4, 4, ".pkx") != 0) {
        throw EUsageError("the output file must end in \".pkx\"");
    }
    CheckCliOutputFile(Out, {In}, true);
    TMain Doc;
    LoadCliProject(In, Doc); // nothing is written when this fails
    TDomImplementation Dom;
    TXmlParser Parser;
    TMollierFileHandling Files(Dom, Parser);
    Files.FProject = &Doc;
    Files.SaveProjectAs(Out);
    return 0;
}

const TCliRegistration Registration("convert", &RunConvert);

} // namespace
} // namespace psykrona
