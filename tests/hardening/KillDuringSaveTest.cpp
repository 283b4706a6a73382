// No lost work: a save killed at any moment leaves the old file or the new
// one, complete, and no temporary file that a later save does not remove.
// The saving child reports each step of the writer (start, every piece
// written, written, replaced) through a pipe and waits there for the parent's
// word; the parent kills it at a random step, so every kill lands where it
// was aimed however busy the machine is. Nothing depends on timing.
#include "files/MollierFileHandling.h"
#include "localisation/Translator.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"
#include "xml/DomImplementation.h"
#include "xml/FileAccess.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <random>

namespace psykrona {
namespace {

constexpr int KRounds = 100;
int GReportFd = -1; // the child's ends of the two pipes
int GGoFd = -1;

// In the child: tells the parent the step reached and waits to go on.
void ReportAndWait(char Step) {
    if (write(GReportFd, &Step, 1) != 1 || read(GGoFd, &Step, 1) != 1) {
        _exit(4);
    }
}

// A child saving one version, held at each step until told to go on.
class THeldSave {
public:
    THeldSave(const std::function<void(int)>& Write, int Version) {
        if (pipe(FReport) != 0 || pipe(FGo) != 0) {
            throw std::runtime_error("no pipe");
        }
        FPid = test::StartChild([&] {
            GReportFd = FReport[1];
            GGoFd = FGo[0];
            SetSaveStepHook([](TSaveStep Step) { ReportAndWait(static_cast<char>('0' + static_cast<int>(Step))); });
            Write(Version);
            ReportAndWait('D');
            return 0;
        });
        close(FReport[1]);
        close(FGo[0]);
    }
    ~THeldSave() {
        close(FReport[0]);
        close(FGo[1]);
        if (FPid > 0) {
            test::KillChild(FPid);
        }
    }
    // The step the child waits at; 0 once it has ended.
    char Next() {
        char Step = 0;
        return read(FReport[0], &Step, 1) == 1 ? Step : 0;
    }
    void Go() { ASSERT_EQ(write(FGo[1], "g", 1), 1); }
    // Lets the child run to its end: the steps it passed and its exit code.
    std::pair<std::string, int> Finish() {
        std::string Steps;
        for (char Step = Next(); Step != 0; Step = Next()) {
            Steps += Step;
            Go();
        }
        return {Steps, test::WaitChild(std::exchange(FPid, -1), std::chrono::minutes(1))};
    }

private:
    pid_t FPid = -1;
    int FReport[2] = {-1, -1};
    int FGo[2] = {-1, -1};
};

// Saves the versions of Dir's file Name alternately and kills the saving
// child at random steps; every kill must leave one version whole, and the
// kills must cover the writing itself as well as the moments around it.
void KillSavesAtRandomSteps(const test::TTempFolder& Dir, const std::string& Name, const std::function<void(int)>& Write) {
    std::array<std::string, 2> Contents;
    std::string Steps;
    for (int Version : {1, 0}) {
        int Code = 0;
        std::tie(Steps, Code) = THeldSave(Write, Version).Finish();
        EXPECT_EQ(Code, 0);
        Contents[Version] = Dir.Read(Name);
    }
    EXPECT_NE(Contents[0], Contents[1]);
    const unsigned Seed = 20240611;
    std::mt19937 Rng(Seed);
    std::uniform_int_distribution<std::size_t> Where(0, Steps.size()); // 0: before the first step
    int Current = 0, Old = 0, New = 0, MidWrite = 0;
    for (int Round = 0; Round < KRounds; ++Round) {
        SCOPED_TRACE("round " + std::to_string(Round) + ", seed " + std::to_string(Seed));
        const std::size_t Target = Where(Rng);
        {
            THeldSave Save(Write, 1 - Current);
            for (std::size_t Reached = 1; Reached <= Target; ++Reached) {
                EXPECT_EQ(Save.Next(), Steps[Reached - 1]);
                if (Reached < Target) {
                    Save.Go();
                }
            }
        }
        MidWrite += Target > 1 && Steps[Target - 1] == '0' + static_cast<int>(TSaveStep::Chunk);
        const std::string Now = Dir.Read(Name);
        if (Now == Contents[Current]) {
            ++Old;
        } else if (Now == Contents[1 - Current]) {
            ++New;
            Current = 1 - Current;
        } else {
            ADD_FAILURE() << "killed at step " << Target << " of " << Steps << ": " << Now.size()
                          << " bytes, neither version";
            THeldSave(Write, Current).Finish();
        }
    }
    std::printf("%zu steps per save; kills left %d old, %d new files; %d fell between pieces\n", Steps.size(),
                Old, New, MidWrite);
    EXPECT_EQ(Old + New, KRounds);
    EXPECT_TRUE(Old > 0 && New > 0 && MidWrite > KRounds / 4) << Old << " " << New << " " << MidWrite;
    EXPECT_EQ(THeldSave(Write, Current).Finish().second, 0); // and it clears what the kills left
}

TEST(KillDuringSave, ProjectFileIsAlwaysTheOldOrTheNewOne) {
    test::TTempFolder Dir;
    std::array<TMain, 2> Versions;
    for (int I = 0; I < 1600; ++I) { // long names make many pieces cheaply
        Versions[I % 2].AddPoint().Name = std::to_string(I) + std::string(1000, static_cast<char>('a' + I % 26));
    }
    KillSavesAtRandomSteps(Dir, "project.pkx", [&](int Version) {
        TDomImplementation Dom;
        TXmlParser Parser;
        TMollierFileHandling Files(Dom, Parser);
        Files.FProject = &Versions[Version];
        Files.SaveProjectAs(Dir.File("project.pkx"));
    });
    EXPECT_EQ(Dir.Listing(), "project.pkx\n");
}

// Picking a language rewrites "Languages.xml" the same way; a long comment
// makes it many pieces long.
TEST(KillDuringSave, LanguageListIsAlwaysTheOldOrTheNewOne) {
    test::TTempFolder Dir;
    Dir.Write("English.lng", "[MESSAGES]\nMSG_FILE_NOT_SAVED=English\n");
    Dir.Write("Swedish.lng", "[MESSAGES]\nMSG_FILE_NOT_SAVED=Swedish\n");
    Dir.Write("Languages.xml", "<!--" + std::string(1 << 20, 'x') + "--><list><default><language>en</language>"
                               "</default><languages><language><code>en</code><file>English.lng</file></language>"
                               "<language><code>sv</code><file>Swedish.lng</file></language></languages></list>");
    TDomImplementation Dom;
    TXmlParser Parser(Dom);
    TTranslator::CreateInstance(Dom, Parser, Dir.Dir());
    KillSavesAtRandomSteps(Dir, "Languages.xml", [](int Version) { TTranslator::SetLanguage(Version); });
    EXPECT_EQ(Dir.Listing(), "English.lng\nLanguages.xml\nSwedish.lng\n");
}

} // namespace
} // namespace psykrona
