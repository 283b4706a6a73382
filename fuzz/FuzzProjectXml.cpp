// The ".pkx" reader. For any bytes it either fills the document or throws
// EProjectFileError; a project that opened saves, with either decimal
// separator, as a file that the document model parses and that opens again to
// the same project; and its chart draws without a fault.
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "fuzz/FuzzSupport.h"
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"
#include "xml/XmlParser.h"

using namespace psykrona;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    TMain Doc;
    try {
        TMollierFileHandling::ProjectFromXml(fuzz::AsBytes(Data, Size), Doc, "fuzz.pkx");
    } catch (const EProjectFileError&) {
        return 0;
    }
    for (const char Separator : {'.', ','}) {
        SetDecimalSeparator(Separator);
        std::string Saved;
        try {
            Saved = TMollierFileHandling::ProjectToXml(Doc);
        } catch (const EProjectFileError&) {
            continue; // a number the file cannot hold is refused, not written
        }
        try {
            (void)TXmlParser::Parse(Saved, "saved.pkx");
        } catch (const EXmlError& E) {
            fuzz::Violated(std::string("a saved project is not well-formed: ") + E.what(), Saved);
        }
        TMain Back;
        try {
            TMollierFileHandling::ProjectFromXml(Saved, Back, "saved.pkx");
        } catch (const EProjectFileError& E) {
            fuzz::Violated(std::string("a saved project does not open: ") + E.what(), Saved);
        }
        // Numbers are saved to 15 digits, so the first save may round them;
        // from then on a project saves to the same bytes. Texts come back
        // with their line ends read as LF.
        const std::string Again = TMollierFileHandling::ProjectToXml(Back);
        if (Back.PointCount() != Doc.PointCount() || fuzz::LineEndsAsLf(Again) != fuzz::LineEndsAsLf(Saved)) {
            fuzz::Violated("a saved project opens as another project", Saved + "\n=== again ===\n" + Again);
        }
    }
    fuzz::DrawChart(Doc);
    return 0;
}
