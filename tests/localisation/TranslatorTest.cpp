// The translator on language lists and files written into a temporary
// program folder: which language is current at start, the line rules,
// remembering the choice, and the failures that stop creation; and the
// language files shipped in data/.
#include "localisation/Translator.h"

#include "xml/DomImplementation.h"
#include "xml/XmlName.h"
#include "xml/XmlParser.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <tuple>
#include <vector>

namespace psykrona {
namespace {

namespace fs = std::filesystem;
const std::string KEntries = "en English English.lng|sv Svenska Swedish.lng|hu Magyar Hungarian.lng";
const std::string KSwedish = "Tv\xC3\xA5 v\xC3\xA4rden";

// A language list from "code name file|..." entries; Indented puts
// whitespace before the first entry, which then is no longer current by
// position.
std::string LanguageList(const std::string& Default, const std::string& Entries = KEntries, bool Indented = true) {
    std::string Xml = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!-- list -->\n<list>\n  <default>\n"
                      "    <language>" + Default + "</language>\n  </default>\n  <languages>";
    std::istringstream In(Entries);
    std::string Code, Name, File;
    for (bool First = true; In >> Code >> Name && std::getline(In, File, '|'); First = false) {
        Xml += (Indented || !First ? "\n    " : "") + std::string("<language><code>") + Code + "</code><name>" +
               Name + "</name><file>" + File.substr(1) + "</file></language>";
    }
    return Xml + "\n  </languages>\n</list>\n";
}

class TranslatorTest : public testing::Test {
protected:
    TranslatorTest() {
        Folder.Write("English.lng", "[MESSAGES]\nMSG_TWO_VALUES=Two values\n");
        Folder.Write("Swedish.lng", "[MESSAGES]\nMSG_TWO_VALUES=" + KSwedish + "\n");
        Folder.Write("Hungarian.lng", "[MESSAGES]\nMSG_TWO_VALUES=K\xC3\xA9t \xC3\xA9rt\xC3\xA9k\n");
    }
    void Create(const std::string& List) {
        Folder.Write("Languages.xml", List);
        TTranslator::CreateInstance(Dom, Parser, Folder.Dir());
    }
    static std::string TwoValues() { return TTranslator::GetText("MESSAGES", "MSG_TWO_VALUES"); }

    test::TTempFolder Folder;
    TDomImplementation Dom;
    TXmlParser Parser{Dom};
};

TEST_F(TranslatorTest, StartLanguage) {
    const std::tuple<const char*, std::string, std::string, std::string, int> Cases[] = { // list, code, text, index
        {"default", LanguageList("sv"), "sv", KSwedish, 1},
        {"default over position", LanguageList("hu", KEntries, false), "hu", "K\xC3\xA9t \xC3\xA9rt\xC3\xA9k", 2},
        {"unknown default, indented", LanguageList("xx"), "", "MSG_TWO_VALUES", -1},
        {"unknown default, first entry current", LanguageList("xx", KEntries, false), "en", "Two values", 0},
        {"last match wins", LanguageList("sv", KEntries + "|sv L Other.lng|SV U Swedish.lng"), "sv", "later", 3},
        {"file missing", LanguageList("sv", "en E English.lng|sv S Missing.lng"), "sv", "MSG_TWO_VALUES", 1},
    };
    Folder.Write("Other.lng", "[MESSAGES]\nMSG_TWO_VALUES=later\n");
    for (const auto& [What, List, Code, Text, Expected] : Cases) {
        SCOPED_TRACE(What);
        Create(List);
        int Index = -1;
        EXPECT_FALSE(TTranslator::GetLanguages(Index).empty());
        EXPECT_EQ(TTranslator::GetLanguageCode() + " " + TwoValues() + " " + std::to_string(Index),
                  Code + " " + Text + " " + std::to_string(Expected));
        TTranslator::DestroyInstance();
    }
    EXPECT_EQ(TwoValues(), "MSG_TWO_VALUES") << "without a translator a lookup yields its key";
}

// Lines not in UTF-8 read in their language's code page (Windows-1250 holds
// "ő" and "ű" where Windows-1252 has "õ" and "û").
TEST_F(TranslatorTest, LanguageFileLineRules) {
    const std::string Lines = "\xEF\xBB\xBF[S]\r\n; a comment\r\n\r\nEMPTY=\r\nEQUALS=a=b=c\nSPACES= x  y \r"
                              ";COMMENTED=no\nDup=first\nDUP=second\ndup=third\nRAW=\xF5\xFB\x01\nUTF8=\xC5\x91\n"
                              "[T]\nDUP=own section\n[S]\nLATE=in a repeated section\n[U]\nLAST=no line end";
    for (const char* File : {"English.lng", "Swedish.lng", "Hungarian.lng"}) {
        Folder.Write(File, Lines);
    }
    Create(LanguageList("en"));
    const std::vector<std::pair<std::string, std::string>> Cases = {
        {"S/EMPTY", ""}, {"S/EQUALS", "a=b=c"}, {"S/SPACES", " x  y "}, {"S/COMMENTED", "COMMENTED"},
        {"S/DUP", "first"}, {"S/dup", "first"}, {"T/DUP", "own section"}, {"S/LATE", "LATE"},
        {"U/LAST", "no line end"}, {"s/EMPTY", "EMPTY"}, {"S/UTF8", "\xC5\x91"}, {"/", ""}, {"S/x y", "x y"},
    };
    for (int Language : {0, 2}) {
        TTranslator::SetLanguage(Language);
        for (const auto& [Key, Text] : Cases) {
            EXPECT_EQ(TTranslator::GetText(Key.substr(0, Key.find('/')), Key.substr(Key.find('/') + 1)), Text) << Key;
        }
        EXPECT_EQ(TTranslator::GetText("S", "RAW"), Language == 0 ? "\xC3\xB5\xC3\xBB\x01" : "\xC5\x91\xC5\xB1\x01");
    }
}

// Choosing rewrites the list (in UTF-8, its comment and document type kept)
// and the next start uses the choice; an index that names no language still
// writes down the current one. Where the list cannot be rewritten (a folder
// in its place, which no rename replaces, even for the superuser) the choice
// lasts for this run and leaves nothing behind.
TEST_F(TranslatorTest, TheChoiceIsRememberedForTheNextStart) {
    const std::string Doctype = "<!DOCTYPE list SYSTEM \"l.dtd\" [<!ENTITY a \"\xC3\xA5\">]>\n";
    std::string List = LanguageList("en");
    Create(List.insert(List.find("<list>"), "<!DOCTYPE list SYSTEM \"l.dtd\" [<!ENTITY a \"\xE5\">]>\n"));
    TTranslator::SetLanguage(1);
    std::string Expected = LanguageList("sv").replace(30, 10, "UTF-8");
    Expected.insert(Expected.find("<list>"), Doctype);
    for (auto At = Expected.find('\n'); At != std::string::npos; At = Expected.find('\n', At + 2)) {
        Expected.insert(At, "\r");
    }
    EXPECT_EQ(Folder.Read("Languages.xml"), Expected);
    TTranslator::DestroyInstance();
    TTranslator::CreateInstance(Dom, Parser, Folder.Path().string()); // no trailing slash
    EXPECT_EQ(TwoValues(), KSwedish);
    for (const int Index : {-1, 3}) {
        TTranslator::SetLanguage(Index);
        EXPECT_EQ(TTranslator::GetLanguageCode(), "sv");
    }
    EXPECT_NE(Folder.Read("Languages.xml").find("<language>sv</language>"), std::string::npos);
    fs::remove(Folder.File("Languages.xml"));
    fs::create_directory(Folder.File("Languages.xml"));
    const std::string Before = Folder.Listing();
    TTranslator::SetLanguage(2);
    EXPECT_EQ(TTranslator::GetLanguageCode(), "hu");
    EXPECT_EQ(Folder.Listing(), Before) << "no temporary file is left behind";
}

TEST_F(TranslatorTest, CreationFailsWithAMessageNamingFileAndProblem) {
    const std::string Good = LanguageList("en");
    const auto With = [&](const std::string& Part, const std::string& By) {
        std::string S = Good;
        return S.replace(S.find(Part), Part.size(), By);
    };
    const std::tuple<std::string, std::string, std::string> Cases[] = { // list, English.lng, part of the message
        {"", "", "Languages.xml"},
        {"<list><default>", "", "ends before the document is complete"},
        {With("<default>\n    <language>en</language>\n  </default>", ""), "", "\"default\""},
        {With("<language>en</language>", "<language></language>"), "", "holds no text"},
        {With("<code>sv</code>", ""), "", "\"code\""},
        {With("<file>Hungarian.lng</file>", ""), "", "\"file\""},
        {With("<code>sv</code>", "<code>s v</code>"), "", "\"s v\""},
        {Good, "[ MESSAGES]\nA=b\n", "English.lng"},
        {Good, "[MESSAGES]\nKEY =text\n", "\"KEY \""},
        {Good, "[MESSAGES]\nA=b\nno equals\n", "Line 3"},
        {Good, "[MESSAGES]\n=text\n", "English.lng"},
    };
    Create(LanguageList("sv"));
    const std::size_t Documents = Dom.DocumentCount();
    for (const auto& [List, LanguageFile, InMessage] : Cases) {
        List.empty() ? void(fs::remove(Folder.File("Languages.xml"))) : Folder.Write("Languages.xml", List);
        Folder.Write("English.lng", LanguageFile.empty() ? "[MESSAGES]\nA=b\n" : LanguageFile);
        try {
            TTranslator::CreateInstance(Dom, Parser, Folder.Dir());
            ADD_FAILURE() << List << LanguageFile << ": no failure";
        } catch (const ETranslatorError& E) {
            EXPECT_NE(std::string(E.what()).find(InMessage), std::string::npos) << E.what();
        }
        EXPECT_EQ(TwoValues(), KSwedish) << "the translator that works stays";
        EXPECT_EQ(Dom.DocumentCount(), Documents) << "documents of a failed load are freed";
    }
}

const fs::path KSource = PSYKRONA_SOURCE_DIR;

// "SECTION/KEY" of each text line; each text non-empty, on one line, in UTF-8.
std::set<std::string> KeysInFile(const fs::path& File) {
    std::istringstream In(test::ReadFile(File));
    std::set<std::string> Keys;
    std::string Line, Section;
    while (std::getline(In, Line)) {
        Line.erase(Line.empty() || Line.back() != '\r' ? Line.size() : Line.size() - 1);
        if (!Line.empty() && Line[0] == '[') {
            Section = Line.substr(1, Line.size() - 2);
        } else if (!Line.empty() && Line[0] != ';') {
            const std::string Text = Line.substr(Line.find('=') + 1);
            std::size_t Pos = 0;
            while (Pos < Text.size() && DecodeUtf8(Text, Pos) >= 0) {
            }
            EXPECT_TRUE(Line.find('=') != std::string::npos && !Text.empty() && Pos == Text.size() &&
                        Text.find_first_of("\t\r") == std::string::npos)
                << File << ": " << Line;
            Keys.insert(Section + "/" + Line.substr(0, Line.find('=')));
        }
    }
    return Keys;
}

// The three shipped files hold the same sections and keys, exactly the keys
// the program's sources ask for (no text missing, no misspelt key).
TEST(LanguageFiles, HoldExactlyTheTextsTheProgramAsksFor) {
    std::set<std::string> Asked;
    const std::regex KeyLiteral("\"((MSG|LBL|BTN|CHK|RDB|MNU|TXT|TIP)_[A-Z0-9_]+|TITLE[A-Z_]*)\"");
    for (const auto& E : fs::recursive_directory_iterator(KSource)) {
        const std::string Top = fs::relative(E.path(), KSource).begin()->string();
        const std::string Ext = E.path().extension().string();
        if ((Ext == ".cpp" || Ext == ".h") && Top != "tests" && Top != "build" && Top != "fuzz" && Top != "bench") {
            const std::string Text = test::ReadFile(E.path());
            for (std::sregex_iterator M(Text.begin(), Text.end(), KeyLiteral), End; M != End; ++M) {
                Asked.insert((*M)[1]);
            }
        }
    }
    ASSERT_GT(Asked.size(), 100u);
    const std::set<std::string> English = KeysInFile(KSource / "data/English.lng");
    std::set<std::string> Keys;
    for (const std::string& K : English) {
        Keys.insert(K.substr(K.find('/') + 1));
    }
    EXPECT_EQ(Keys, Asked) << "a key the sources ask for is missing, or the file holds one nobody asks for";
    EXPECT_EQ(KeysInFile(KSource / "data/Swedish.lng"), English);
    EXPECT_EQ(KeysInFile(KSource / "data/Hungarian.lng"), English);
}

} // namespace
} // namespace psykrona
