// No lost work: a save killed at any moment leaves either the old file or
// the new one, complete, never a broken one. A child process saves and the
// test kills it with SIGKILL at 100 random moments spread over the save's
// duration, measured first, then compares the file with both versions byte
// for byte. Temporary files of the killed saves may stay beside the file,
// never under its name.
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "localisation/Translator.h"
#include "tests/hardening/ChildProcess.h"
#include "tests/xml/TempFolder.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace psykrona {
namespace {

using test::TTempFolder;
using Clock = std::chrono::steady_clock;

constexpr int KRounds = 100;

struct TKillTally {
    std::array<std::string, 2> Contents; // what a complete write of version 0 and 1 leaves
    std::chrono::microseconds Duration{};
    int Old = 0;   // the kill left the file as it was
    int New = 0;   // the kill came after the new file took its place
    int Temps = 0; // kills that left a temporary file behind
};

// The writer's temporary files: "." + Name + ".<pid>.<count>.tmp".
bool IsTemporaryOf(const std::string& Entry, const std::string& Name) {
    const std::string Prefix = "." + Name + ".";
    if (!Entry.starts_with(Prefix) || !Entry.ends_with(".tmp")) {
        return false;
    }
    const std::string Middle = Entry.substr(Prefix.size(), Entry.size() - Prefix.size() - 4);
    const std::size_t Dot = Middle.find('.');
    const auto Digits = [](std::string_view S) {
        return !S.empty() && S.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return Dot != std::string::npos && Digits(std::string_view(Middle).substr(0, Dot)) &&
           Digits(std::string_view(Middle).substr(Dot + 1));
}

// Runs Write(Version) in a child, complete or killed after Delay.
void RunWrite(const std::function<void(int)>& Write, int Version, std::chrono::microseconds Delay,
              bool Complete) {
    const pid_t Pid = test::StartChild([&] {
        Write(Version);
        return 0;
    });
    if (Complete) {
        ASSERT_EQ(test::WaitChild(Pid, std::chrono::seconds(60)), 0);
        return;
    }
    std::this_thread::sleep_for(Delay);
    test::KillChild(Pid);
}

// Writes the two versions of the file Name in Dir alternately and kills
// the writer at random moments; every outcome is checked.
TKillTally KillWritesAtRandom(const TTempFolder& Dir, const std::string& Name,
                              const std::function<void(int)>& Write) {
    TKillTally Tally;
    // Complete writes give both versions and the duration: fork to exit.
    std::vector<std::chrono::microseconds> Durations;
    for (int I = 0; I < 4; ++I) {
        const auto Start = Clock::now();
        RunWrite(Write, (I + 1) % 2, {}, true);
        Durations.push_back(std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - Start));
        Tally.Contents[static_cast<std::size_t>((I + 1) % 2)] = Dir.Read(Name);
    }
    std::sort(Durations.begin(), Durations.end());
    Tally.Duration = Durations[Durations.size() / 2];
    EXPECT_NE(Tally.Contents[0], Tally.Contents[1]);

    std::mt19937 Rng(20240611);
    std::uniform_int_distribution<long> Moment(0, Tally.Duration.count());
    int Current = 0; // the last complete write was version 0
    for (int Round = 0; Round < KRounds; ++Round) {
        const int Next = 1 - Current;
        RunWrite(Write, Next, std::chrono::microseconds(Moment(Rng)), false);
        const std::string Now = Dir.Read(Name);
        if (Now == Tally.Contents[static_cast<std::size_t>(Current)]) {
            ++Tally.Old;
        } else if (Now == Tally.Contents[static_cast<std::size_t>(Next)]) {
            ++Tally.New;
            Current = Next;
        } else {
            ADD_FAILURE() << "round " << Round << ": " << Name << " holds " << Now.size()
                          << " bytes, neither version (" << Tally.Contents[0].size() << " or "
                          << Tally.Contents[1].size() << " bytes)";
            RunWrite(Write, Current, {}, true);
        }
        bool Temp = false;
        for (const auto& Entry : std::filesystem::directory_iterator(Dir.Path())) {
            const std::string Entered = Entry.path().filename().string();
            if (IsTemporaryOf(Entered, Name)) {
                Temp = true;
                std::filesystem::remove(Entry.path());
            }
        }
        Tally.Temps += Temp;
    }
    return Tally;
}

void Report(const TKillTally& Tally) {
    testing::Test::RecordProperty("save_microseconds", static_cast<int>(Tally.Duration.count()));
    testing::Test::RecordProperty("old_file", Tally.Old);
    testing::Test::RecordProperty("new_file", Tally.New);
    testing::Test::RecordProperty("temporary_left", Tally.Temps);
    std::printf("save %lld us; %d kills left the old file, %d the new one, %d a temporary file\n",
                static_cast<long long>(Tally.Duration.count()), Tally.Old, Tally.New, Tally.Temps);
}

// The kills fell during the writing itself, not only before or after.
void ExpectKillsMidWrite(const TKillTally& Tally) {
    EXPECT_EQ(Tally.Old + Tally.New, KRounds);
    EXPECT_GT(Tally.Temps, 0) << "no kill landed while the file was being written";
}

TMain Project(unsigned Seed, int Count) {
    std::mt19937 Rng(Seed);
    std::uniform_real_distribution<double> Temp(-20, 50);
    std::uniform_real_distribution<double> SpecHum(0, 0.03);
    TMain Doc;
    Doc.AirFlow = 2.5;
    for (int I = 0; I < Count; ++I) {
        TMollierPoint& P = Doc.AddPoint();
        P.Number = I + 1;
        // Long names make megabytes cheaply: the save's time goes to writing.
        P.Name = "Point " + std::to_string(I + 1) + " of version " + std::to_string(Seed) + " " +
                 std::string(1000, static_cast<char>('a' + I % 26));
        P.Temp = Temp(Rng);
        P.SpecHum = SpecHum(Rng);
        P.RelHum = 50;
        P.Enthalpy = 40;
        P.Prescribed1 = 1;
        P.Prescribed2 = 2;
    }
    return Doc;
}

TEST(KillDuringSave, ProjectFileIsAlwaysTheOldOrTheNewOne) {
    SetDecimalSeparator('.');
    TTempFolder Dir;
    std::array<TMain, 2> Versions = {Project(1, 3000), Project(2, 3000)};
    const std::string Target = Dir.File("project.pkx");
    TKillTally Tally = KillWritesAtRandom(Dir, "project.pkx", [&](int Version) {
        TDomImplementation Dom;
        TXmlParser Parser;
        TMollierFileHandling Files(Dom, Parser);
        Files.FProject = &Versions[static_cast<std::size_t>(Version)];
        Files.SaveProjectAs(Target);
    });
    Report(Tally);
    EXPECT_EQ(Tally.Contents[0], TMollierFileHandling::ProjectToXml(Versions[0]));
    EXPECT_EQ(Tally.Contents[1], TMollierFileHandling::ProjectToXml(Versions[1]));
    EXPECT_GT(Tally.Contents[0].size(), 3u << 20);
    ExpectKillsMidWrite(Tally);
}

// Picking a language rewrites "Languages.xml" the same way. A long comment
// in the list makes the file a megabyte, so kills land inside the write.
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
        KillWritesAtRandom(Dir, "Languages.xml", [](int Version) { TTranslator::SetLanguage(Version); });
    TTranslator::DestroyInstance();
    Report(Tally);
    EXPECT_NE(Tally.Contents[0].find("<default><language>en</language></default>"), std::string::npos);
    EXPECT_NE(Tally.Contents[1].find("<default><language>sv</language></default>"), std::string::npos);
    ExpectKillsMidWrite(Tally);
}

} // namespace
} // namespace psykrona
