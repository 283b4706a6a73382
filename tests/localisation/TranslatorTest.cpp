// The translator on language lists and language files written into a
// temporary program directory: lookups, the language-file line rules, which
// language is current at start, switching and remembering the choice, and
// the failures that stop creation.
#include "localisation/Translator.h"

#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <string>
#include <vector>

#include <unistd.h>

namespace psykrona {
namespace {

struct TEntry {
    std::string Code;
    std::string Name;
    std::string File;
};

const std::vector<TEntry> ThreeLanguages = {
    {"en", "English", "English.lng"}, {"sv", "Svenska", "Swedish.lng"}, {"hu", "Magyar", "Hungarian.lng"}};

// A language list; Indented puts whitespace before the first entry, which
// decides whether that entry is current by position.
std::string LanguageList(const std::string& DefaultCode, const std::vector<TEntry>& Entries, bool Indented) {
    std::string Xml = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!-- list -->\n<list>\n"
                      "  <default>\n    <language>" +
                      DefaultCode + "</language>\n  </default>\n  <languages>";
    for (const TEntry& E : Entries) {
        if (Indented || &E != &Entries.front()) {
            Xml += "\n    ";
        }
        Xml += "<language><code>" + E.Code + "</code><name>" + E.Name + "</name><file>" + E.File +
               "</file></language>";
    }
    return Xml + "\n  </languages>\n</list>\n";
}

class TranslatorTest : public testing::Test {
protected:
    TranslatorTest() {
        Folder.Write("English.lng", "[MESSAGES]\nMSG_TWO_VALUES=Two values\n[MENUS]\nMNU_FILE=&File\n");
        Folder.Write("Swedish.lng", "[MESSAGES]\nMSG_TWO_VALUES=Tv\xC3\xA5 v\xC3\xA4rden\n");
        Folder.Write("Hungarian.lng", "[MESSAGES]\nMSG_TWO_VALUES=K\xC3\xA9t \xC3\xA9rt\xC3\xA9k\n");
    }
    ~TranslatorTest() override { TTranslator::DestroyInstance(); }

    void Create() { TTranslator::CreateInstance(DomImpl, Parser, Folder.Dir()); }
    void CreateWithList(const std::string& Xml) {
        Folder.Write("Languages.xml", Xml);
        Create();
    }
    static std::string TwoValues() { return TTranslator::GetText("MESSAGES", "MSG_TWO_VALUES"); }

    test::TTempFolder Folder;
    TDomImplementation DomImpl;
    TXmlParser Parser{DomImpl};
};

TEST_F(TranslatorTest, WithoutATranslatorEveryLookupYieldsItsKey) {
    EXPECT_EQ(TTranslator::Instance(), nullptr);
    EXPECT_EQ(TwoValues(), "MSG_TWO_VALUES");
    int Index = 5;
    EXPECT_TRUE(TTranslator::GetLanguages(Index).empty());
    EXPECT_EQ(Index, 5);
    TTranslator::SetLanguage(1);
    EXPECT_EQ(TTranslator::GetLanguageCode(), "");
}

TEST_F(TranslatorTest, LooksUpTextsOfTheCurrentLanguage) {
    CreateWithList(LanguageList("en", ThreeLanguages, true));
    ASSERT_NE(TTranslator::Instance(), nullptr);
    EXPECT_EQ(TTranslator::GetLanguageCode(), "en");
    EXPECT_EQ(TwoValues(), "Two values");
    EXPECT_EQ(TTranslator::GetText("MENUS", "MNU_FILE"), "&File");
    // Missing key, missing section, and names that differ in case only.
    EXPECT_EQ(TTranslator::GetText("MESSAGES", "MSG_INVALID_INPUT"), "MSG_INVALID_INPUT");
    EXPECT_EQ(TTranslator::GetText("NO_SECTION", "MSG_TWO_VALUES"), "MSG_TWO_VALUES");
    EXPECT_EQ(TTranslator::GetText("messages", "MSG_TWO_VALUES"), "MSG_TWO_VALUES");
    EXPECT_EQ(TTranslator::GetText("MESSAGES", "msg_two_values"), "msg_two_values");
    EXPECT_EQ(TTranslator::GetText("", ""), "");
    EXPECT_EQ(TTranslator::GetText("not a name", "x y"), "x y");
}

TEST_F(TranslatorTest, LanguageFileLineRules) {
    Folder.Write("English.lng", "KEY=before any section, ignored\r\n"
                                "no equals sign before a section is ignored too\r\n"
                                "; a comment\r\n"
                                "\r\n"
                                "[S]\r\n"
                                "EMPTY=\r\n"
                                "EQUALS=a=b=c\n"
                                "SPACES= x  y \r"
                                ";COMMENTED=no\n"
                                "Dup=first\n"
                                "DUP=second\n"
                                "dup=third\n"
                                "RAW=\xE9\x01\xFF\n"
                                "[T]\n"
                                "DUP=own section\n"
                                "[S]\n"
                                "LATE=in a repeated section\n"
                                "[U]\n"
                                "LAST=no line end");
    CreateWithList(LanguageList("en", ThreeLanguages, true));
    const struct {
        const char* Section;
        const char* Key;
        std::string Text;
    } Cases[] = {
        {"S", "EMPTY", ""},
        {"S", "EQUALS", "a=b=c"},
        {"S", "SPACES", " x  y "},
        {"S", "COMMENTED", "COMMENTED"},
        {"S", ";COMMENTED", ";COMMENTED"},
        {"S", "KEY", "KEY"},
        {"S", "Dup", "first"},
        {"S", "DUP", "first"},
        {"S", "dup", "first"},
        {"S", "RAW", "\xC3\xA9\x01\xC3\xBF"}, // not UTF-8: Windows-1252
        {"T", "DUP", "own section"},
        // The first section of a name is the one looked in.
        {"S", "LATE", "LATE"},
        {"U", "LAST", "no line end"},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(TTranslator::GetText(C.Section, C.Key), C.Text) << C.Section << "/" << C.Key;
    }
}

// Older translations were saved in their language's 8-bit code page: such a
// line reads in it, a UTF-8 line as it is.
TEST_F(TranslatorTest, LinesNotInUtf8AreReadInTheCodePageOfTheirLanguage) {
    const std::string Lines = "[MESSAGES]\nMSG_TWO_VALUES=\xF5\xFB\xE9\nMSG_UTF8=\xC5\x91\n";
    Folder.Write("English.lng", Lines);
    Folder.Write("Swedish.lng", Lines);
    Folder.Write("Hungarian.lng", Lines);
    CreateWithList(LanguageList("en", ThreeLanguages, true));
    const std::string Western = "\xC3\xB5\xC3\xBB\xC3\xA9"; // "õûé"
    const std::string Hungarian = "\xC5\x91\xC5\xB1\xC3\xA9"; // "őűé"
    for (const auto& [Index, Text] : {std::pair{0, Western}, {1, Western}, {2, Hungarian}}) {
        TTranslator::SetLanguage(Index);
        EXPECT_EQ(TwoValues(), Text) << TTranslator::GetLanguageCode();
        EXPECT_EQ(TTranslator::GetText("MESSAGES", "MSG_UTF8"), "\xC5\x91");
    }
}

// Rewriting the list keeps its document type declaration, where it stood
// and as it was (in UTF-8 now, like the rest of the file).
TEST_F(TranslatorTest, RewritingTheListKeepsItsDocumentType) {
    const std::string DocType = "<!DOCTYPE list SYSTEM \"languages.dtd\" [<!ENTITY a \"\xE5\">]>";
    std::string List = LanguageList("en", ThreeLanguages, true);
    List.insert(List.find("<list>"), DocType + "\n");
    CreateWithList(List);
    TTranslator::SetLanguage(1);
    const std::string Written = Folder.Read("Languages.xml");
    EXPECT_NE(Written.find("<!-- list -->\r\n<!DOCTYPE list SYSTEM \"languages.dtd\" [<!ENTITY a \"\xC3\xA5\">]>\r\n<list>"),
              std::string::npos)
        << Written;
    EXPECT_NE(Written.find("<language>sv</language>"), std::string::npos);
}

TEST_F(TranslatorTest, ByteOrderMarkDoesNotHideTheFirstSection) {
    Folder.Write("English.lng", "\xEF\xBB\xBF[MESSAGES]\r\nMSG_TWO_VALUES=Two values\r\n");
    CreateWithList(LanguageList("en", ThreeLanguages, true));
    EXPECT_EQ(TwoValues(), "Two values");
}

TEST_F(TranslatorTest, MissingLanguageFileGivesALanguageWithoutTexts) {
    std::filesystem::remove(Folder.File("Swedish.lng"));
    CreateWithList(LanguageList("sv", ThreeLanguages, true));
    EXPECT_EQ(TTranslator::GetLanguageCode(), "sv");
    EXPECT_EQ(TwoValues(), "MSG_TWO_VALUES");
    TTranslator::SetLanguage(2);
    EXPECT_EQ(TwoValues(), "K\xC3\xA9t \xC3\xA9rt\xC3\xA9k");
}

TEST_F(TranslatorTest, DefaultCodeNamingNoEntryLeavesNoLanguageWhenIndented) {
    const std::string List = LanguageList("xx", ThreeLanguages, true);
    CreateWithList(List);
    EXPECT_EQ(TwoValues(), "MSG_TWO_VALUES");
    EXPECT_EQ(TTranslator::GetLanguageCode(), "");
    TTranslator::SetLanguage(1);
    EXPECT_EQ(TwoValues(), "MSG_TWO_VALUES");
    EXPECT_EQ(TTranslator::GetLanguageCode(), "");
    EXPECT_EQ(Folder.Read("Languages.xml"), List) << "nothing to remember";
}

TEST_F(TranslatorTest, DefaultCodeNamingNoEntryLeavesTheFirstWhenItComesFirst) {
    CreateWithList(LanguageList("xx", ThreeLanguages, false));
    EXPECT_EQ(TTranslator::GetLanguageCode(), "en");
    EXPECT_EQ(TwoValues(), "Two values");
}

TEST_F(TranslatorTest, DefaultCodeOverridesPositionAndTheLastMatchWins) {
    CreateWithList(LanguageList("hu", ThreeLanguages, false));
    EXPECT_EQ(TTranslator::GetLanguageCode(), "hu");
    TTranslator::DestroyInstance();

    Folder.Write("Other.lng", "[MESSAGES]\nMSG_TWO_VALUES=the later sv\n");
    std::vector<TEntry> Twice = ThreeLanguages;
    Twice.push_back({"sv", "Svenska 2", "Other.lng"});
    Twice.push_back({"SV", "Upper case", "Swedish.lng"});
    CreateWithList(LanguageList("sv", Twice, true));
    EXPECT_EQ(TwoValues(), "the later sv");
    int Index = 0;
    EXPECT_EQ(TTranslator::GetLanguages(Index),
              (std::vector<std::string>{"English", "Svenska", "Magyar", "Svenska 2", "Upper case"}));
    EXPECT_EQ(Index, 3);
}

TEST_F(TranslatorTest, GetLanguagesListsNamesAndFindsTheCurrentOne) {
    CreateWithList(LanguageList("sv", ThreeLanguages, true));
    int Index = 0;
    EXPECT_EQ(TTranslator::GetLanguages(Index), (std::vector<std::string>{"English", "Svenska", "Magyar"}));
    EXPECT_EQ(Index, 1);
}

TEST_F(TranslatorTest, GetLanguagesFailingHalfWayGivesAnEmptyListAndKeepsTheIndexSoFar) {
    std::string List = LanguageList("en", ThreeLanguages, true);
    List.replace(List.find("<name>Svenska</name>"), 20, "");
    CreateWithList(List);
    int Index = 7;
    EXPECT_TRUE(TTranslator::GetLanguages(Index).empty());
    EXPECT_EQ(Index, 0) << "set by the first entry before the second failed";
}

TEST_F(TranslatorTest, CommentsBetweenEntriesAreNoEntries) {
    std::string List = LanguageList("en", ThreeLanguages, true);
    List.replace(List.find("<language><code>hu"), 0, "<!-- Hungarian follows -->");
    CreateWithList(List);
    int Index = 0;
    EXPECT_EQ(TTranslator::GetLanguages(Index).size(), 3u);
    TTranslator::SetLanguage(2);
    EXPECT_EQ(TTranslator::GetLanguageCode(), "hu");
}

TEST_F(TranslatorTest, PickingTheSecondEntryRewritesTheListAndTheNextStartUsesIt) {
    CreateWithList(LanguageList("en", ThreeLanguages, true));
    TTranslator::SetLanguage(1);
    EXPECT_EQ(TTranslator::GetLanguageCode(), "sv");
    EXPECT_EQ(TwoValues(), "Tv\xC3\xA5 v\xC3\xA4rden");
    EXPECT_EQ(Folder.Read("Languages.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- list -->\r\n<list>\r\n"
              "  <default>\r\n    <language>sv</language>\r\n  </default>\r\n  <languages>\r\n"
              "    <language><code>en</code><name>English</name><file>English.lng</file></language>\r\n"
              "    <language><code>sv</code><name>Svenska</name><file>Swedish.lng</file></language>\r\n"
              "    <language><code>hu</code><name>Magyar</name><file>Hungarian.lng</file></language>\r\n"
              "  </languages>\r\n</list>\r\n");

    TTranslator::DestroyInstance();
    Create();
    EXPECT_EQ(TTranslator::GetLanguageCode(), "sv");
    EXPECT_EQ(TwoValues(), "Tv\xC3\xA5 v\xC3\xA4rden");
}

TEST_F(TranslatorTest, AnIndexMatchingNoLanguageStillRemembersTheCurrentOne) {
    // The first entry is current by position; the list's default names none.
    CreateWithList(LanguageList("xx", ThreeLanguages, false));
    for (const int Index : {-1, 3, 99}) {
        TTranslator::SetLanguage(Index);
        EXPECT_EQ(TTranslator::GetLanguageCode(), "en");
    }
    EXPECT_NE(Folder.Read("Languages.xml").find("<language>en</language>"), std::string::npos);
    EXPECT_EQ(Folder.Read("Languages.xml").find("xx"), std::string::npos);
}

TEST_F(TranslatorTest, AListThatCannotBeReplacedKeepsTheChoiceForThisRun) {
    CreateWithList(LanguageList("en", ThreeLanguages, true));
    // A folder in the list's place: no rename can replace it, even for the
    // superuser, for whom permissions protect nothing.
    std::filesystem::remove(Folder.File("Languages.xml"));
    std::filesystem::create_directory(Folder.File("Languages.xml"));
    Folder.Write("Languages.xml/keep", "x");
    const std::string Before = Folder.Listing();

    TTranslator::SetLanguage(2);
    EXPECT_EQ(TTranslator::GetLanguageCode(), "hu");
    EXPECT_EQ(TwoValues(), "K\xC3\xA9t \xC3\xA9rt\xC3\xA9k");
    EXPECT_EQ(Folder.Listing(), Before) << "no temporary file is left behind";
    EXPECT_EQ(Folder.Read("Languages.xml/keep"), "x");
}

TEST_F(TranslatorTest, AWriteProtectedFolderKeepsTheChoiceForThisRunOnly) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop the superuser";
    }
    const std::string List = LanguageList("en", ThreeLanguages, true);
    CreateWithList(List);
    namespace fs = std::filesystem;
    // Where only the folder is protected the file is rewritten in place.
    fs::permissions(Folder.File("Languages.xml"), fs::perms::owner_read);
    fs::permissions(Folder.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    TTranslator::SetLanguage(1);
    EXPECT_EQ(TTranslator::GetLanguageCode(), "sv");
    EXPECT_EQ(TwoValues(), "Tv\xC3\xA5 v\xC3\xA4rden");
    EXPECT_EQ(Folder.Read("Languages.xml"), List);
    TTranslator::DestroyInstance();
    Create();
    EXPECT_EQ(TTranslator::GetLanguageCode(), "en");
}

TEST_F(TranslatorTest, ProgramDirectoryMayBeGivenWithoutTrailingSlash) {
    Folder.Write("Languages.xml", LanguageList("sv", ThreeLanguages, true));
    TTranslator::CreateInstance(DomImpl, Parser, Folder.Path().string());
    EXPECT_EQ(TwoValues(), "Tv\xC3\xA5 v\xC3\xA4rden");
}

TEST_F(TranslatorTest, CreationFailsWithAMessageNamingFileAndProblem) {
    const std::string Good = LanguageList("en", ThreeLanguages, true);
    const auto Replaced = [](std::string S, const std::string& Part, const std::string& By) {
        S.replace(S.find(Part), Part.size(), By);
        return S;
    };
    const auto With = [&](const std::string& Part, const std::string& By) {
        return Replaced(Good, Part, By);
    };
    const auto Without = [&](const std::string& Part) { return With(Part, ""); };
    const struct {
        const char* What;
        std::string List;
        std::string LanguageFile; // for English.lng; empty keeps the good one
        std::string InMessage;
    } Cases[] = {
        {"missing list", "", "", "Languages.xml"},
        {"cut short", "<list><default>", "", "ends before the document is complete"},
        {"not well-formed", "<list></default>", "", "not well-formed"},
        {"no default", With("<default>\n    <language>en</language>\n  </default>", ""), "", "\"default\""},
        {"no default language", With("<language>en</language>\n  </default>", "</default>"), "",
         "\"language\""},
        {"empty default language", With("<language>en</language>", "<language></language>"), "",
         "holds no text"},
        {"no languages", Replaced(With("<languages>", "<entries>"), "</languages>", "</entries>"), "",
         "\"languages\""},
        {"entry without code", Without("<code>sv</code>"), "", "\"code\""},
        {"entry without file", Without("<file>Hungarian.lng</file>"), "", "\"file\""},
        {"empty code", With("<code>sv</code>", "<code></code>"), "", "\"code\""},
        {"code not a name", With("<code>sv</code>", "<code>s v</code>"), "", "\"s v\""},
        {"section with a space", Good, "[ MESSAGES]\nA=b\n", "English.lng"},
        {"empty section name", Good, "[]\nA=b\n", "English.lng"},
        {"space before the equals sign", Good, "[MESSAGES]\nKEY =text\n", "\"KEY \""},
        {"line without equals sign", Good, "[MESSAGES]\nA=b\nno equals\n", "Line 3"},
        {"empty key", Good, "[MESSAGES]\n=text\n", "English.lng"},
    };
    for (const auto& C : Cases) {
        std::filesystem::remove(Folder.File("Languages.xml"));
        if (!C.List.empty()) {
            Folder.Write("Languages.xml", C.List);
        }
        Folder.Write("English.lng", C.LanguageFile.empty() ? "[MESSAGES]\nA=b\n" : C.LanguageFile);
        try {
            Create();
            ADD_FAILURE() << C.What << ": no failure";
        } catch (const ETranslatorError& E) {
            EXPECT_NE(std::string(E.what()).find(C.InMessage), std::string::npos)
                << C.What << ": " << E.what();
        }
        EXPECT_EQ(TTranslator::Instance(), nullptr) << C.What;
        EXPECT_EQ(DomImpl.DocumentCount(), 0u) << C.What << ": documents of a failed load are freed";
    }
}

TEST_F(TranslatorTest, AFailedCreationKeepsTheTranslatorThatWorks) {
    CreateWithList(LanguageList("sv", ThreeLanguages, true));
    Folder.Write("Languages.xml", "broken");
    EXPECT_THROW(Create(), ETranslatorError);
    EXPECT_EQ(TwoValues(), "Tv\xC3\xA5 v\xC3\xA4rden");
}

} // namespace
} // namespace psykrona
