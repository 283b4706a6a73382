// The Debian package cpack makes from this build tree, read with dpkg-deb and
// never installed: every file in its place with root as owner, the
// dependencies that dpkg-shlibdeps found, and files a desktop and a software
// centre read (entry, icons, MIME type, metadata, manual pages) as they
// should be. The GUI program's files are expected only when the build has it.
#include "tests/install/InstallSupport.h"
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

TEST_F(PackageTest, ControlFieldsNameTheProgramsVersionAndTheLibrariesItLinks) {
    const test::TProcessResult Version = test::RunProcess(test::CliPath(), {"--version"});
    EXPECT_EQ("psykrona-cli " + Field("Version") + "\n", Version.Out);
    EXPECT_EQ(Field("Package"), "psykrona");
    EXPECT_EQ(Field("Architecture") + "\n", Dpkg("/usr/bin/dpkg", {"--print-architecture"}));
    EXPECT_EQ(Deb->filename().string(), "psykrona_" + Field("Version") + "_" + Field("Architecture") + ".deb");
    EXPECT_NE(Field("Maintainer").find('@'), std::string::npos);

    // Versioned entries come from dpkg-shlibdeps reading the executables;
    // the fonts are named by hand since no library call reveals them.
    const std::string Depends = Field("Depends");
    std::vector<std::string> Needed{"libc6 (>= ", "libstdc++6 (>= ", "libxml2 (>= ", "fonts-liberation"};
    if (HasGui()) {
        Needed.insert(Needed.end(), {"libqt6core6 (>= ", "libqt6gui6 (>= ", "libqt6widgets6 (>= "});
    }
    for (const std::string& Package : Needed) {
        EXPECT_NE(Depends.find(Package), std::string::npos) << Package << " missing from: " << Depends;
    }
    // The long description has at least one line below the synopsis.
    const std::string Description = Field("Description");
    EXPECT_NE(Description.find("\n "), std::string::npos) << Description;
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
    // The tool's helpers lie beside it, without launchers.
    std::vector<std::string> Helpers{"psykrona-cli-files"};
    if (HasGui()) {
        Helpers.push_back("psykrona-cli-draw");
    }
    for (const std::string& Name : Helpers) {
        ASSERT_EQ(Contents->count("/usr/lib/psykrona/" + Name), 1u) << Name;
        EXPECT_EQ(Contents->at("/usr/lib/psykrona/" + Name).Mode, "-rwxr-xr-x");
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

TEST_F(PackageTest, DesktopEntryIconsMimeTypeAndStoreMetadataAreWhereDesktopsLook) {
    if (!HasGui()) {
        GTEST_SKIP() << "this build has no window";
    }
    const std::string Entry = test::ReadWholeFile(Unpacked_("/usr/share/applications/psykrona.desktop"));
    EXPECT_NE(Entry.find("\nExec=/usr/bin/psykrona %f\n"), std::string::npos) << Entry;
    EXPECT_NE(Entry.find("\nIcon=psykrona\n"), std::string::npos) << Entry;

    // Each size found in the package holds a picture of that size, and the
    // sizes cover what menus (16 to 48) and software centres (64, 128) ask.
    const std::regex SizedIcon(R"(/usr/share/icons/hicolor/(\d+)x(\d+)/apps/psykrona\.png)");
    std::set<int> Sizes;
    for (const auto& [Path, E] : *Contents) {
        std::smatch M;
        if (std::regex_match(Path, M, SizedIcon)) {
            const int Side = std::stoi(M[1]);
            EXPECT_EQ(test::PngSize(Unpacked_(Path)), std::make_pair(Side, std::stoi(M[2]))) << Path;
            Sizes.insert(Side);
        }
    }
    for (const int Side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        EXPECT_EQ(Sizes.count(Side), 1u) << Side << "x" << Side;
    }
    EXPECT_EQ(Contents->count("/usr/share/icons/hicolor/scalable/apps/psykrona.svg"), 1u);

    const std::string Mime = test::ReadWholeFile(Unpacked_("/usr/share/mime/packages/psykrona.xml"));
    const std::string Info =
        test::ReadWholeFile(Unpacked_("/usr/share/metainfo/example.psykrona.psykrona.metainfo.xml"));
    for (const char* Type : {"application/x-psykrona-project", "application/x-psykrona-project-old"}) {
        EXPECT_NE(Mime.find("type=\"" + std::string(Type) + "\""), std::string::npos) << Type;
        EXPECT_NE(Entry.find(std::string(Type) + ";"), std::string::npos) << Type;
        EXPECT_NE(Info.find("<mediatype>" + std::string(Type) + "</mediatype>"), std::string::npos) << Type;
    }
    EXPECT_NE(Info.find("<launchable type=\"desktop-id\">psykrona.desktop</launchable>"), std::string::npos);
    EXPECT_NE(Info.find("<release version=\"" + Field("Version") + "\""), std::string::npos);
    // Every screenshot the metadata names ships with the package, at the
    // size the metadata gives.
    const std::regex Shot(
        R"re(<image type="source" width="(\d+)" height="(\d+)">[^<]*/screenshots/([^<]+)</image>)re");
    int Shots = 0;
    for (auto It = std::sregex_iterator(Info.begin(), Info.end(), Shot); It != std::sregex_iterator(); ++It) {
        const std::string Packed = "/usr/share/doc/psykrona/screenshots/" + (*It)[3].str();
        EXPECT_EQ(test::PngSize(Unpacked_(Packed)), std::make_pair(std::stoi((*It)[1]), std::stoi((*It)[2])))
            << Packed;
        ++Shots;
    }
    EXPECT_GE(Shots, 1);
}

} // namespace
} // namespace psykrona
