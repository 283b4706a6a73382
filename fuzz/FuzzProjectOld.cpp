// The older ".pkr" reader. For any bytes it either fills the document or
// throws EProjectFileError, never allocating for points it has not read; a
// project that opened converts to a ".pkx" file that opens again to
// the same project; and its chart draws without a fault.
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "fuzz/FuzzSupport.h"

using namespace psykrona;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    TMain Doc;
    try {
        TMollierFileHandling::ProjectFromOldFormat(fuzz::AsBytes(Data, Size), Doc, "fuzz.pkr");
    } catch (const EProjectFileError&) {
        // Points appended before the failure stay; each was read whole, from
        // seven numbers and ten lines, so at least 16 bytes.
        if (static_cast<std::size_t>(Doc.PointCount()) > Size / 16) {
            fuzz::Violated("a failed read allocated " + std::to_string(Doc.PointCount()) + " points for " +
                           std::to_string(Size) + " bytes");
        }
        return 0;
    }
    SetDecimalSeparator(Size % 2 == 0 ? '.' : ',');
    std::string Saved;
    try {
        Saved = TMollierFileHandling::ProjectToXml(Doc);
    } catch (const EProjectFileError&) {
        return 0; // a number the file cannot hold is refused, not written
    }
    TMain Back;
    try {
        TMollierFileHandling::ProjectFromXml(Saved, Back, "converted.pkx");
    } catch (const EProjectFileError& E) {
        fuzz::Violated(std::string("a converted project does not open: ") + E.what(), Saved);
    }
    const std::string Again = TMollierFileHandling::ProjectToXml(Back);
    if (Back.PointCount() != Doc.PointCount() || fuzz::LineEndsAsLf(Again) != fuzz::LineEndsAsLf(Saved)) {
        fuzz::Violated("a converted project opens as another project", Saved + "\n=== again ===\n" + Again);
    }
    fuzz::DrawChart(Doc);
    return 0;
}
