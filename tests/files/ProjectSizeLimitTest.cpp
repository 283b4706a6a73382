// Reader and writer share one size limit: a project too large to open again
// is not saved, and the old file stays. Slow: half a gigabyte in memory.
#include "files/MollierFileHandling.h"

#include "tests/support/TempFolder.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

namespace psykrona {
namespace {

TEST(ProjectSizeLimit, AProjectTooLargeToOpenIsNotSaved) {
    test::TTempFolder Dir;
    Dir.Write("big.pkx", "old");
    TDomImplementation Dom;
    TXmlParser Parser;
    TMollierFileHandling Files(Dom, Parser);
    TMain Doc;
    Files.FProject = &Doc;
    Doc.AddPoint();
    const std::size_t Empty = TMollierFileHandling::ProjectToXml(Doc).size();
    // Each "&" is written as the five bytes "&#38;": one byte over the limit.
    Doc.Points[0].Name.assign((TMollierFileHandling::MaxFileSize - Empty) / 5 + 1, '&');
    try {
        Files.SaveProjectAs(Dir.File("big.pkx"));
        ADD_FAILURE() << "saved";
    } catch (const EProjectFileError& E) {
        EXPECT_NE(std::string(E.what()).find("512 MB"), std::string::npos) << E.what();
    }
    EXPECT_EQ(Dir.Read("big.pkx"), "old");
}

} // namespace
} // namespace psykrona
