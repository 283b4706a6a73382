// The Debian package cpack makes from this build tree, read with dpkg-deb and
// never installed: every file in its place with root as owner, the
// version of the program, dependencies found by dpkg-shlibdeps, every data
// file, manual page and icon (of the size its folder names). The GUI program's files are expected only when the build has it.
#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace psykrona {
namespace {

namespace fs = std::filesystem;

// One line of "dpkg-deb -c": mode, owner, and a link's target.
struct TEntry {
    std::string Mode;
    std::string Owner;
    std::string LinkTarget;
};

class PackageTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        Work = new test::TTempFolder;
        const test::TProcessResult Made = test::RunProcess(
            PSYKRONA_CPACK, {"-G", "DEB", "--config", std::string(PSYKRONA_BUILD_TREE) + "/CPackConfig.cmake",
                             "-B", Work->Path().string()});
        Log = new std::string(Made.Out + Made.Err);
        for (const auto& E : fs::directory_iterator(Work->Path())) {
            if (E.path().extension() == ".deb") {
                Deb = new fs::path(E.path());
            }
        }
        if (Deb == nullptr) {
            return;
        }
        Contents = new std::map<std::string, TEntry>;
        std::istringstream Listing(Dpkg("/usr/bin/dpkg-deb", {"-c", Deb->string()}));
        for (std::string Line; std::getline(Listing, Line);) {
            std::istringstream Fields(Line);
            std::string Mode, Owner, Size, Day, Time, Path, Arrow, Target;
            Fields >> Mode >> Owner >> Size >> Day >> Time >> Path >> Arrow >> Target;
            (*Contents)[Path.substr(Path.rfind("./", 0) == 0 ? 1 : 0)] = {Mode, Owner, Target};
        }
        Unpacked = new test::TTempFolder;
        Dpkg("/usr/bin/dpkg-deb", {"-x", Deb->string(), Unpacked->Path().string()});
    }
    static void TearDownTestSuite() {
        delete Unpacked;
        delete Contents;
        delete Deb;
        delete Log;
        delete Work;
        Unpacked = nullptr;
        Contents = nullptr;
        Deb = nullptr;
    }
    void SetUp() override { ASSERT_NE(Deb, nullptr) << "cpack made no package:\n" << *Log; }

    static std::string Dpkg(const std::string& Tool, const std::vector<std::string>& Args) {
        const test::TProcessResult R = test::RunProcess(Tool, Args);
        EXPECT_EQ(R.ExitCode, 0) << Tool << ": " << R.Err;
        return R.Out;
    }
    static std::string Field(const std::string& Name) {
        std::string Value = Dpkg("/usr/bin/dpkg-deb", {"-f", Deb->string(), Name});
        while (!Value.empty() && Value.back() == '\n') {
            Value.pop_back();
        }
        return Value;
    }
    static bool HasGui() { return fs::exists(fs::path(PSYKRONA_BINARY_DIR) / "psykrona"); }
    static fs::path Unpacked_(const std::string& Path) { return Unpacked->Path() / Path.substr(1); }

    static test::TTempFolder* Work;
    static test::TTempFolder* Unpacked;
    static std::string* Log;
    static fs::path* Deb;
    static std::map<std::string, TEntry>* Contents;
};

test::TTempFolder* PackageTest::Work = nullptr;
test::TTempFolder* PackageTest::Unpacked = nullptr;
std::string* PackageTest::Log = nullptr;
fs::path* PackageTest::Deb = nullptr;
std::map<std::string, TEntry>* PackageTest::Contents = nullptr;

TEST_F(PackageTest, VersionIsTheProgramsAndDependenciesComeFromTheExecutables) {
    EXPECT_EQ("psykrona-cli " + Field("Version") + "\n", test::RunProcess(test::CliPath(), {"--version"}).Out);
    EXPECT_NE(Field("Depends").find("libxml2 (>= "), std::string::npos) << Field("Depends");
}

TEST_F(PackageTest, EveryFileIsUnderUsrOwnedByRootWithTheProgramsBesideTheirData) {
    for (const auto& [Path, E] : *Contents) {
        EXPECT_EQ(Path.rfind("/usr/", 0), 0u) << Path;
        EXPECT_EQ(E.Owner, "root/root") << Path;
        EXPECT_EQ(Path.find(PSYKRONA_BUILD_TREE), std::string::npos) << "a build path leaked: " << Path;
    }
    std::vector<std::string> Programs{"psykrona-cli"};
    if (HasGui()) {
        Programs.push_back("psykrona");
    }
    for (const std::string& Name : Programs) {
        const std::string Program = "/usr/lib/psykrona/" + Name;
        ASSERT_EQ(Contents->count(Program), 1u) << Program;
        EXPECT_EQ(Contents->at(Program).Mode, "-rwxr-xr-x");
        ASSERT_EQ(Contents->count("/usr/bin/" + Name), 1u) << Name;
        EXPECT_EQ(Contents->at("/usr/bin/" + Name).LinkTarget, "../lib/psykrona/" + Name);
        EXPECT_EQ(Contents->count("/usr/share/man/man1/" + Name + ".1.gz"), 1u) << Name;
    }

    const fs::path Data = fs::path(PSYKRONA_SOURCE_DIR) / "data";
    for (const auto& E : fs::recursive_directory_iterator(Data)) {
        const std::string Relative = fs::relative(E.path(), Data).generic_string();
        if (!E.is_regular_file() || Relative == "CMakeLists.txt") {
            continue;
        }
        const std::string Packed = Relative.rfind("examples/", 0) == 0 ? "/usr/share/doc/psykrona/" + Relative
                                                                        : "/usr/lib/psykrona/" + Relative;
        ASSERT_EQ(Contents->count(Packed), 1u) << Packed;
        EXPECT_EQ(Contents->at(Packed).Mode, "-rw-r--r--") << Packed;
    }
    for (const char* Doc : {"/usr/share/doc/psykrona/copyright", "/usr/share/doc/psykrona/changelog.gz"}) {
        EXPECT_EQ(Contents->count(Doc), 1u) << Doc;
    }
}

// Each icon size in the package holds a picture of that size.
TEST_F(PackageTest, IconsAreTheSizesTheirFoldersName) {
    const std::regex SizedIcon(R"(/usr/share/icons/hicolor/(\d+)x(\d+)/apps/psykrona\.png)");
    int Icons = 0;
    for (const auto& [Path, E] : *Contents) {
        std::smatch M;
        if (std::regex_match(Path, M, SizedIcon)) {
            const std::string Png = test::ReadFile(Unpacked_(Path));
            auto Be32 = [&](std::size_t At) {
                return (static_cast<unsigned char>(Png[At]) << 24 | static_cast<unsigned char>(Png[At + 1]) << 16 |
                        static_cast<unsigned char>(Png[At + 2]) << 8 | static_cast<unsigned char>(Png[At + 3]));
            };
            ASSERT_TRUE(Png.size() > 24 && Png.starts_with("\x89PNG")) << Path;
            EXPECT_EQ(std::to_string(Be32(16)) + "x" + std::to_string(Be32(20)), M[1].str() + "x" + M[2].str()) << Path;
            ++Icons;
        }
    }
    EXPECT_TRUE(!HasGui() || Icons >= 4) << Icons;
}

} // namespace
} // namespace psykrona
