#include "files/MollierFileHandling.h"

#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "tests/support/RandomProject.h"
#include "tests/support/TempFolder.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

namespace psykrona {
namespace {

class ProjectFileTest : public ::testing::Test {
protected:
    TMain Open(const std::string& Bytes) {
        Folder.Write("p.pkx", Bytes);
        TMain Doc;
        Files.FProject = &Doc;
        Files.OpenProject(Folder.File("p.pkx"));
        return Doc;
    }

    test::TTempFolder Folder;
    TDomImplementation Dom;
    TXmlParser Parser;
    TMollierFileHandling Files{Dom, Parser};
};

// For random projects, separators and names: every save either gives a file
// that opens again under the other separator, to the same values (to the 15
// digits written) and saves again to the same bytes; or it fails naming the
// element, and the old file stays as it was.
TEST_F(ProjectFileTest, EverySaveOpensAgainOrLeavesTheOldFile) {
    const unsigned Seed = 5;
    SCOPED_TRACE("seed " + std::to_string(Seed));
    std::mt19937_64 Rng(Seed);
    int Saved = 0, Refused = 0;
    Folder.Write("r.pkx", "old");
    for (int Round = 0; Round < 100; ++Round) {
        SCOPED_TRACE("round " + std::to_string(Round));
        const char Sep = Round % 2 == 0 ? '.' : ',';
        SetDecimalSeparator(Sep);
        TMain Doc = test::RandomProject(Rng, 12);
        const std::string Before = Folder.Read("r.pkx");
        Files.FProject = &Doc;
        try {
            Files.SaveProjectAs(Folder.File("r.pkx"));
        } catch (const EProjectFileError& E) {
            ++Refused;
            EXPECT_TRUE(std::string(E.what()).find("the element '") != std::string::npos &&
                        std::string(E.what()).find(Folder.File("r.pkx")) != std::string::npos) << E.what();
            EXPECT_EQ(Folder.Read("r.pkx"), Before);
            continue;
        }
        ++Saved;
        const std::string Written = Folder.Read("r.pkx");
        SetDecimalSeparator(Sep == '.' ? ',' : '.');
        TMain Back;
        Files.FProject = &Back;
        ASSERT_NO_THROW(Files.OpenProject(Folder.File("r.pkx"))) << Written;
        SetDecimalSeparator(Sep);
        EXPECT_EQ(test::ProjectSummary(Back, FloatToStr), test::ProjectSummary(Doc, FloatToStr));
        EXPECT_EQ(TMollierCalculate::GetInstance().Pressure, Back.Pressure);
        Files.SaveProject();
        EXPECT_EQ(Folder.Read("r.pkx"), Written);
    }
    EXPECT_GT(Saved, 20);
    EXPECT_GT(Refused, 5);
}

// The exact bytes of a project: tests/files/golden/two-points.pkx was
// written by hand from the format's element table (edit it by hand when the
// format changes on purpose); opened and saved, it gives the same bytes, so
// no value was read wrong. Each broken variant of it is refused with a
// message naming the file and the fault, and the file is never touched.
TEST_F(ProjectFileTest, SavedBytesAreExactlyTheFormatAndBrokenFilesAreRefused) {
    const std::string Golden = test::ReadFile(PSYKRONA_SOURCE_DIR "/tests/files/golden/two-points.pkx");
    EXPECT_EQ(TMollierFileHandling::ProjectToXml(Open(Golden)), Golden);
    const struct {
        std::string From, To, Message;
    } Cases[] = {
        {"<signature>A. Engineer</signature>", "", "'signature' is missing"},
        {"<density>1.2</density>", "<density></density>", "'density' has no value"},
        {"<density>1.2</density>", "<density>1;2</density>", "'1;2' is not a valid floating point value"},
        {"<relhum>100</relhum>", "", "point 2, element 'relhum' is missing"},
        {"<prescribed2>2</prescribed2>", "<prescribed2>2.0</prescribed2>", "'2.0' is not a valid integer value"},
        {"<prescribed2>2</prescribed2>", "<prescribed2>99999999999</prescribed2>", "not a valid integer"},
        {"</project>", "</projekt>", "not well-formed"},
        {Golden, "", "is empty"},
        {"<name></name>", "<name>" + std::string(12000000, 'a') + "</name>", "holds a text too long (more than 10 million"},
    };
    for (const auto& C : Cases) {
        std::string Bytes = Golden;
        Bytes.replace(Bytes.find(C.From), C.From.size(), C.To);
        try {
            Open(Bytes);
            ADD_FAILURE() << C.To << ": opened";
        } catch (const EProjectFileError& E) {
            EXPECT_NE(std::string(E.what()).find(C.Message), std::string::npos) << E.what();
            EXPECT_NE(std::string(E.what()).find(Folder.File("p.pkx")), std::string::npos) << E.what();
        }
        EXPECT_EQ(Folder.Read("p.pkx"), Bytes);
        EXPECT_EQ(Files.FFileName, "") << "the window names the file only after a good read";
    }
}

} // namespace
} // namespace psykrona
