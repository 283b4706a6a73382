// No lost work: a save killed at any moment leaves either the old file or
// the new one, complete, never a broken one, and no temporary file that a
// later save does not remove.
//
// The child saves with a step hook that reports each step of the writer
// (start, every piece of bytes written, written, renamed into place, done)
// through a pipe and waits for the parent's word before going on. The parent
// picks a random step of the save, kills the child while it waits there and
// compares the file with both versions byte for byte. So every kill lands
// where it was aimed, inside the write or outside it, however busy the
// machine is; nothing depends on timing.
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "localisation/Translator.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"
#include "xml/DomImplementation.h"
#include "xml/FileAccess.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

namespace psykrona {
namespace {

using test::TTempFolder;

constexpr int KRounds = 100;
constexpr char KDone = 'D';

// The child's ends of the two pipes.
int GReportFd = -1;
int GGoFd = -1;

// In the child: tells the parent the step reached and waits to go on.
void ReportAndWait(char Step) {
    char Go = 0;
    if (write(GReportFd, &Step, 1) != 1 || read(GGoFd, &Go, 1) != 1) {
        _exit(4);
    }
}

// A child saving one version, held at each step until told to go on.
class THeldSave {
public:
    THeldSave(const std::function<void(int)>& Write, int Version) {
        int Report[2];
        int Go[2];
        if (pipe(Report) != 0 || pipe(Go) != 0) {
            throw std::runtime_error("no pipe");
        }
        FPid = test::StartChild([&] {
            close(Report[0]);
            close(Go[1]);
            GReportFd = Report[1];
            GGoFd = Go[0];
            SetSaveStepHook([](TSaveStep Step) { ReportAndWait(static_cast<char>('0' + static_cast<int>(Step))); });
            Write(Version);
            ReportAndWait(KDone);
            return 0;
        });
        close(Report[1]);
        close(Go[0]);
        FReport = Report[0];
        FGo = Go[1];
    }
    ~THeldSave() {
        close(FReport);
        close(FGo);
        if (FPid > 0) {
            test::KillChild(FPid);
        }
    }
    THeldSave(const THeldSave&) = delete;
    THeldSave& operator=(const THeldSave&) = delete;

    // The next step the child has reached and waits at; 0 once it has ended.
    char Next() {
        char Step = 0;
        return read(FReport, &Step, 1) == 1 ? Step : 0;
    }
    void Go() {
        const char Word = 'g';
        if (write(FGo, &Word, 1) != 1) {
            throw std::runtime_error("the saving child is gone");
        }
    }
    // Lets the child run to its end; its exit code.
    int Finish() {
        while (Next() != 0) {
            Go();
        }
        const int Code = test::WaitChild(FPid, std::chrono::minutes(1));
        FPid = -1;
        return Code;
    }
    void Kill() {
        test::KillChild(FPid);
        FPid = -1;
    }

private:
    pid_t FPid = -1;
    int FReport = -1;
    int FGo = -1;
};

struct TKillTally {
    std::array<std::string, 2> Contents; // what a complete save of version 0 and 1 leaves
    std::string Steps;                   // the steps of a complete save
    int Old = 0;                         // kills that left the file as it was
    int New = 0;                         // kills after the new file took its place
    int MidWrite = 0;                    // kills between two pieces of the bytes
};

// Saves the two versions of the file Name in Dir alternately and kills the
// saving child at random steps; every outcome is checked.
TKillTally KillSavesAtRandomSteps(const TTempFolder& Dir, const std::string& Name,
                                  const std::function<void(int)>& Write) {
    TKillTally Tally;
    for (int Version : {1, 0}) {
        THeldSave Save(Write, Version);
        Tally.Steps.clear();
        for (char Step = Save.Next(); Step != 0; Step = Save.Next()) {
            Tally.Steps += Step;
            Save.Go();
        }
        EXPECT_EQ(Save.Finish(), 0);
        Tally.Contents[static_cast<std::size_t>(Version)] = Dir.Read(Name);
    }
    EXPECT_NE(Tally.Contents[0], Tally.Contents[1]);

    const unsigned Seed = 20240611;
    std::mt19937 Rng(Seed);
    // 0 kills before the first step; k kills while held at step k.
    std::uniform_int_distribution<std::size_t> Where(0, Tally.Steps.size());
    int Current = 0; // the last complete save wrote version 0
    for (int Round = 0; Round < KRounds; ++Round) {
        const int Next = 1 - Current;
        const std::size_t Target = Where(Rng);
        {
            THeldSave Save(Write, Next);
            for (std::size_t Reached = 1; Reached <= Target; ++Reached) {
                const char Step = Save.Next();
                EXPECT_EQ(Step, Tally.Steps[Reached - 1]) << "round " << Round << ", seed " << Seed;
                if (Reached < Target) {
                    Save.Go();
                }
            }
            Save.Kill();
        }
        Tally.MidWrite += Target > 1 && Tally.Steps[Target - 1] == '0' + static_cast<int>(TSaveStep::Chunk);
        const std::string Now = Dir.Read(Name);
        if (Now == Tally.Contents[static_cast<std::size_t>(Current)]) {
            ++Tally.Old;
        } else if (Now == Tally.Contents[static_cast<std::size_t>(Next)]) {
            ++Tally.New;
            Current = Next;
        } else {
            ADD_FAILURE() << "round " << Round << " (seed " << Seed << ", step " << Target << " of "
                          << Tally.Steps << "): " << Name << " holds " << Now.size() << " bytes, neither version ("
                          << Tally.Contents[0].size() << " or " << Tally.Contents[1].size() << " bytes)";
            THeldSave(Write, Current).Finish();
        }
    }
    // A complete save leaves nothing beside the file, whatever the kills left.
    EXPECT_EQ(THeldSave(Write, Current).Finish(), 0);
    return Tally;
}

// Every kill gave one of the versions, and the kills covered the writing
// itself as well as the moments around it.
void ExpectKillsEverywhere(const TKillTally& Tally) {
    std::printf("%zu steps per save; %d kills left the old file, %d the new one; %d fell between pieces\n",
                Tally.Steps.size(), Tally.Old, Tally.New, Tally.MidWrite);
    EXPECT_EQ(Tally.Old + Tally.New, KRounds);
    EXPECT_GT(Tally.Old, 0);
    EXPECT_GT(Tally.New, 0);
    EXPECT_GT(Tally.MidWrite, KRounds / 4);
}

// Long names make the file many pieces long cheaply.
TMain Project(int Version) {
    TMain Doc;
    for (int I = 0; I < 800; ++I) {
        TMollierPoint& P = Doc.AddPoint();
        P.Number = I + 1;
        P.Name = "Point " + std::to_string(I) + " of version " + std::to_string(Version) + std::string(1000, 'a' + I % 26);
        P.Temp = Version * 10 + I % 40;
        P.SpecHum = 0.001 * (I % 30);
        P.Prescribed1 = 1;
        P.Prescribed2 = 2;
    }
    return Doc;
}

TEST(KillDuringSave, ProjectFileIsAlwaysTheOldOrTheNewOne) {
    TTempFolder Dir;
    std::array<TMain, 2> Versions = {Project(0), Project(1)};
    const std::string Target = Dir.File("project.pkx");
    const TKillTally Tally = KillSavesAtRandomSteps(Dir, "project.pkx", [&](int Version) {
        TDomImplementation Dom;
        TXmlParser Parser;
        TMollierFileHandling Files(Dom, Parser);
        Files.FProject = &Versions[static_cast<std::size_t>(Version)];
        Files.SaveProjectAs(Target);
    });
    EXPECT_EQ(Tally.Contents[0], TMollierFileHandling::ProjectToXml(Versions[0]));
    EXPECT_EQ(Tally.Contents[1], TMollierFileHandling::ProjectToXml(Versions[1]));
    ExpectKillsEverywhere(Tally);
    EXPECT_EQ(Dir.Listing(), "project.pkx\n");
}

// Picking a language rewrites "Languages.xml" the same way. A long comment
// in the list makes the file many pieces long.
TEST(KillDuringSave, LanguageListIsAlwaysTheOldOrTheNewOne) {
    TTempFolder Dir;
    Dir.Write("English.lng", "[MESSAGES]\nMSG_FILE_NOT_SAVED=The file was not saved\n");
    Dir.Write("Swedish.lng", "[MESSAGES]\nMSG_FILE_NOT_SAVED=Filen sparades inte\n");
    Dir.Write("Languages.xml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!--" + std::string(1 << 20, 'x') +
                  "-->\n<list>\n<default><language>en</language></default>\n<languages>"
                  "<language><code>en</code><name>English</name><file>English.lng</file></language>\n"
                  "<language><code>sv</code><name>Svenska</name><file>Swedish.lng</file></language>\n"
                  "</languages>\n</list>\n");
    TDomImplementation Dom;
    TXmlParser Parser(Dom);
    TTranslator::CreateInstance(Dom, Parser, Dir.Dir());
    const TKillTally Tally =
        KillSavesAtRandomSteps(Dir, "Languages.xml", [](int Version) { TTranslator::SetLanguage(Version); });
    TTranslator::DestroyInstance();
    EXPECT_NE(Tally.Contents[0].find("<default><language>en</language></default>"), std::string::npos);
    EXPECT_NE(Tally.Contents[1].find("<default><language>sv</language></default>"), std::string::npos);
    ExpectKillsEverywhere(Tally);
    EXPECT_EQ(Dir.Listing(), "English.lng\nLanguages.xml\nSwedish.lng\n");
}

} // namespace
} // namespace psykrona
