// The language files shipped in data/: the three hold the same sections and
// keys, exactly the keys the program's sources ask for (no text missing, no
// misspelt key), non-empty and in UTF-8; captions shown together never share
// an access key.
#include "localisation/Translator.h"

#include "xml/DomImplementation.h"
#include "xml/XmlName.h"
#include "xml/XmlParser.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
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

// The access key of a caption: the character after a single "&".
std::string AccessKey(const std::string& Caption) {
    for (std::size_t I = 0; I + 1 < Caption.size(); ++I) {
        if (Caption[I] == '&' && Caption[I + 1] == '&') {
            ++I;
        } else if (Caption[I] == '&') {
            std::size_t End = I + 1;
            DecodeUtf8(Caption, End);
            std::string Key = Caption.substr(I + 1, End - I - 1);
            Key[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(Key[0])));
            return Key;
        }
    }
    return {};
}

// Each line: the captions of one dialog, menu or the main window's bar and panels.
const char* const KShownTogether[] = {
    "EDIT_POINT_DIALOG/BTN_OK BTN_CALCULATE BTN_CANCEL CHK_SHOW_IN_CHART CHK_LINE_TO_NEXT",
    "PREVIEW_DIALOG/BTN_DATA BTN_CHART BTN_PRINT BTN_CLOSE",
    "PRINT_DIALOG/CHK_PRINT_DATA CHK_PRINT_CHART BTN_PREVIEW BTN_PRINT BTN_CANCEL",
    "LANGUAGE_DIALOG/BTN_OK BTN_CANCEL",
    "CHART_LIMITS_DIALOG/BTN_OK BTN_CANCEL",
    "TOOLS/MNU_TOOLS_PROCESS MNU_TOOLS_MIX MNU_TOOLS_DEW_WET_POINT MNU_TOOLS_PROPERTIES MNU_TOOLS_ALTITUDE",
    "TOOLS/BTN_CALCULATE BTN_OK BTN_CANCEL",
    "MENUS/MNU_FILE MNU_OPTIONS TOOLS/MNU_TOOLS MENUS/MNU_HELP POINTS_PANEL/BTN_ADD BTN_DELETE BTN_INSERT "
    "BTN_EDIT FLOW_DATA_PANEL/RDB_NORMAL RDB_REAL BTN_UPDATE",
    "MENUS/MNU_FILE_NEW MNU_FILE_OPEN MNU_FILE_SAVE MNU_FILE_SAVE_AS MNU_FILE_SAVE_CHART_AS_PICTURE "
    "MNU_FILE_PRINT MNU_FILE_EXIT",
    "MENUS/MNU_OPTIONS_LIMITS MNU_OPTIONS_LANGUAGE",
    "MENUS/MNU_HELP_HELP MNU_HELP_ABOUT",
};

TEST(LanguageFiles, CaptionsShownTogetherHaveDistinctAccessKeys) {
    test::TTempFolder Folder;
    for (const char* Name : {"Languages.xml", "English.lng", "Swedish.lng", "Hungarian.lng"}) {
        fs::copy_file(KSource / "data" / Name, Folder.Path() / Name);
    }
    TDomImplementation Dom;
    TXmlParser Parser{Dom};
    TTranslator::CreateInstance(Dom, Parser, Folder.Dir());
    for (int Language = 0; Language < 3; ++Language) {
        TTranslator::SetLanguage(Language);
        for (const char* Group : KShownTogether) {
            std::istringstream Words(Group);
            std::map<std::string, std::string> Owner;
            std::string Word, Section;
            while (Words >> Word) {
                if (Word.find('/') != std::string::npos) {
                    Section = Word.substr(0, Word.find('/'));
                    Word = Word.substr(Word.find('/') + 1);
                }
                const std::string Key = AccessKey(TTranslator::GetText(Section, Word));
                const auto [It, New] = Owner.emplace(Key, Word);
                EXPECT_TRUE(Key.empty() || New) << Language << ": " << Word << " and " << It->second << " share " << Key;
            }
        }
    }
}

} // namespace
} // namespace psykrona
