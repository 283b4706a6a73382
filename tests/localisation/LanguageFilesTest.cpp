// The language files shipped in data/: the three hold the same sections and
// keys, exactly the keys the program's sources ask for (no text missing, no
// misspelt key), non-empty and in UTF-8.
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

namespace psykrona {
namespace {

namespace fs = std::filesystem;
const fs::path KSource = PSYKRONA_SOURCE_DIR;

// "SECTION/KEY" of each text line.
std::set<std::string> KeysInFile(const fs::path& File) {
    std::istringstream In(test::ReadFile(File));
    std::set<std::string> Keys;
    std::string Line, Section;
    while (std::getline(In, Line)) {
        if (!Line.empty() && Line.back() == '\r') {
            Line.pop_back();
        }
        if (!Line.empty() && Line[0] == '[') {
            Section = Line.substr(1, Line.size() - 2);
        } else if (!Line.empty() && Line[0] != ';') {
            Keys.insert(Section + "/" + Line.substr(0, Line.find('=')));
        }
    }
    return Keys;
}

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

    test::TTempFolder Folder; // choosing a language rewrites the list
    for (const char* Name : {"Languages.xml", "English.lng", "Swedish.lng", "Hungarian.lng"}) {
        fs::copy_file(KSource / "data" / Name, Folder.Path() / Name);
    }
    TDomImplementation Dom;
    TXmlParser Parser{Dom};
    TTranslator::CreateInstance(Dom, Parser, Folder.Dir());
    int Index = -1;
    EXPECT_EQ(TTranslator::GetLanguages(Index), (std::vector<std::string>{"English", "Svenska", "Magyar"}));
    EXPECT_EQ(Index, 0);
    for (int Language = 0; Language < 3; ++Language) {
        TTranslator::SetLanguage(Language);
        for (const std::string& K : English) {
            const std::string Text = TTranslator::GetText(K.substr(0, K.find('/')), K.substr(K.find('/') + 1));
            std::size_t Pos = 0;
            while (Pos < Text.size() && DecodeUtf8(Text, Pos) >= 0) {
            }
            EXPECT_TRUE(!Text.empty() && Pos == Text.size() && Text.find_first_of("\t\r\n") == std::string::npos)
                << Language << " " << K;
        }
    }
}

} // namespace
} // namespace psykrona
