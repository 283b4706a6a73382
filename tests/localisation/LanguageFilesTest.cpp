// The language list and language files shipped in data/: every text the
// program asks for exists, non-empty, in every language; no file carries a
// key nobody asks for (a misspelt one); texts are UTF-8; and within one
// window no two captions share an access key. The files are copied into a
// temporary folder first, since choosing a language rewrites the list.
#include "localisation/Translator.h"

#include "xml/DomImplementation.h"
#include "xml/XmlName.h"
#include "xml/XmlParser.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace psykrona {
namespace {

struct TSection {
    const char* Name;
    std::vector<const char*> Keys;
};

// Every section and key that the windows, the chart and the print layout ask
// for.
const std::vector<TSection> RequiredTexts = {
    {"EDIT_POINT_DIALOG",
     {"TITLE", "LBL_POINT", "LBL_NAME", "LBL_TEMPERATURE", "LBL_REL_HUM", "LBL_SPEC_HUM", "LBL_ENTHALPY",
      "CHK_SHOW_IN_CHART", "CHK_LINE_TO_NEXT", "BTN_OK", "BTN_CALCULATE", "BTN_CANCEL"}},
    {"MESSAGES",
     {"MSG_INVALID_FORMAT", "MSG_TWO_VALUES", "MSG_HIGH_REL_HUM", "MSG_LOW_SPEC_HUM", "MSG_INVALID_INPUT",
      "MSG_FILE_NOT_FOUND", "MSG_FILE_NOT_OPENED", "MSG_FILE_NOT_SAVED", "MSG_CONFIRM_ERASE_POINT",
      "MSG_SAVE_CHANGES", "MSG_QUIT_WITHOUT_SAVING"}},
    {"CHART", {"TXT_TEMP_DRY_BULB", "TXT_SPEC_HUM", "TXT_ENTHALPY"}},
    {"PRINT", {"TXT_PROJECT_DATA", "TXT_PROJECT", "TXT_DATE",       "TXT_SIGNATURE",    "TXT_COMPANY",
               "TXT_FLOW_DATA",    "TXT_AIRFLOW", "TXT_DENSITY",    "TXT_ATM_PRESSURE", "TXT_PROCESS",
               "TXT_NBR",          "TXT_NAME",    "TXT_TEMP",       "TXT_REL_HUM",      "TXT_SPEC_HUM",
               "TXT_ENTHALPY",     "TXT_POWER",   "TXT_SENS_POWER", "TXT_WATER",        "TXT_CHART_TITLE"}},
    {"PREVIEW_DIALOG", {"TITLE", "BTN_DATA", "BTN_CHART", "BTN_PRINT", "BTN_CLOSE"}},
    {"PRINT_DIALOG",
     {"TITLE", "LBL_PROJECT", "LBL_DATE", "LBL_SIGNATURE", "LBL_COMPANY", "CHK_PRINT_DATA", "CHK_PRINT_CHART",
      "BTN_PREVIEW", "BTN_PRINT", "BTN_CANCEL"}},
    {"LANGUAGE_DIALOG", {"TITLE", "LBL_CHOOSE_LANGUAGE", "BTN_OK", "BTN_CANCEL"}},
    {"ABOUT_DIALOG", {"LBL_DEVELOPED_BY", "BTN_CLOSE"}},
    {"CHART_LIMITS_DIALOG",
     {"TITLE", "LBL_MIN_TEMPERATURE", "LBL_MAX_TEMPERATURE", "LBL_MIN_SPEC_HUM", "LBL_MAX_SPEC_HUM",
      "LBL_MIN", "LBL_MAX", "BTN_OK", "BTN_CANCEL"}},
    {"POINTS_PANEL", {"TITLE", "BTN_ADD", "BTN_DELETE", "BTN_INSERT", "BTN_EDIT"}},
    {"FLOW_DATA_PANEL",
     {"TITLE", "LBL_AIR_FLOW", "LBL_DENSITY", "RDB_NORMAL", "RDB_REAL", "LBL_TEMPERATURE",
      "LBL_BAROMETRIC_PRESSURE", "LBL_DENSITY_REAL", "BTN_UPDATE", "MSG_NOT_FINITE",
      "MSG_PRESSURE_NOT_POSITIVE", "MSG_DENSITY_NOT_POSITIVE", "MSG_AIR_FLOW_TOO_LARGE"}},
    {"MENUS",
     {"MNU_FILE", "MNU_FILE_NEW", "MNU_FILE_OPEN", "MNU_FILE_SAVE", "MNU_FILE_SAVE_AS",
      "MNU_FILE_SAVE_CHART_AS_PICTURE", "MNU_FILE_PRINT", "MNU_FILE_EXIT", "MNU_OPTIONS",
      "MNU_OPTIONS_LIMITS", "MNU_OPTIONS_LANGUAGE", "MNU_HELP", "MNU_HELP_HELP", "MNU_HELP_ABOUT"}},
    {"POINTS_DATA_LIST",
     {"LBL_TEMPERATURE", "LBL_REL_HUM", "LBL_SPEC_HUM", "LBL_ENTHALPY", "LBL_POWER", "LBL_SENS_POWER",
      "LBL_WATER"}},
    {"TOOLTIPS",
     {"TIP_NEW", "TIP_OPEN", "TIP_SAVE", "TIP_PRINT", "TIP_ADD_POINT", "TIP_DELETE_POINT", "TIP_INSERT_POINT",
      "TIP_EDIT_POINT"}},
    {"TOOLS",
     {"MNU_TOOLS", "MNU_TOOLS_PROCESS", "MNU_TOOLS_MIX", "MNU_TOOLS_DEW_WET_POINT", "MNU_TOOLS_PROPERTIES",
      "MNU_TOOLS_ALTITUDE", "TITLE_PROCESS", "TITLE_MIX", "TITLE_PROPERTIES", "TITLE_DEW_WET", "TITLE_ALTITUDE",
      "BTN_CALCULATE", "BTN_OK", "BTN_CANCEL", "BTN_CLOSE", "LBL_RESULT", "LBL_DEW_POINT", "LBL_WET_BULB",
      "LBL_MOIST_AIR_DENSITY", "LBL_SPECIFIC_VOLUME", "LBL_VAPOUR_PRESSURE", "LBL_PROCESS_IN",
      "LBL_LATENT_POWER", "LBL_SHR", "LBL_WATER_PER_HOUR", "LBL_FROM_POINT", "LBL_PROCESS", "LBL_LEAVING_TEMP",
      "LBL_POWER", "LBL_ADP", "LBL_BYPASS", "LBL_TARGET_REL_HUM", "LBL_TARGET_SPEC_HUM", "LBL_STEAM_ENTHALPY",
      "LBL_EXTRACT_POINT", "LBL_EFFICIENCY", "TXT_HEAT_TO_TEMP", "TXT_HEAT_BY_POWER", "TXT_COIL_LEAVING_TEMP",
      "TXT_COIL_BYPASS", "TXT_STEAM_TO_REL_HUM", "TXT_STEAM_TO_SPEC_HUM", "TXT_ADIABATIC_TO_REL_HUM",
      "TXT_ADIABATIC_TO_SPEC_HUM", "TXT_HEAT_RECOVERY", "LBL_POINT_A", "LBL_POINT_B", "LBL_FLOW_A",
      "LBL_FLOW_B", "TXT_NAME_MIXED", "RDB_TEMP_DEW_POINT", "RDB_TEMP_WET_BULB", "RDB_WET_BULB_REL_HUM",
      "LBL_ALTITUDE", "LBL_PRESSURE", "TXT_ALTITUDE_NOTE", "MSG_NO_RESULT", "MSG_SELECT_POINT",
      "MSG_TWO_POINTS"}},
};

// Captions shown together, whose access keys must differ: each dialog, the
// main window's menu bar with its panels' buttons, and each menu.
const std::vector<std::vector<std::pair<const char*, const char*>>> SharedAccessKeys = {
    {{"EDIT_POINT_DIALOG", "BTN_OK"},
     {"EDIT_POINT_DIALOG", "BTN_CALCULATE"},
     {"EDIT_POINT_DIALOG", "BTN_CANCEL"},
     {"EDIT_POINT_DIALOG", "CHK_SHOW_IN_CHART"},
     {"EDIT_POINT_DIALOG", "CHK_LINE_TO_NEXT"}},
    {{"PREVIEW_DIALOG", "BTN_DATA"},
     {"PREVIEW_DIALOG", "BTN_CHART"},
     {"PREVIEW_DIALOG", "BTN_PRINT"},
     {"PREVIEW_DIALOG", "BTN_CLOSE"}},
    {{"PRINT_DIALOG", "CHK_PRINT_DATA"},
     {"PRINT_DIALOG", "CHK_PRINT_CHART"},
     {"PRINT_DIALOG", "BTN_PREVIEW"},
     {"PRINT_DIALOG", "BTN_PRINT"},
     {"PRINT_DIALOG", "BTN_CANCEL"}},
    {{"LANGUAGE_DIALOG", "BTN_OK"}, {"LANGUAGE_DIALOG", "BTN_CANCEL"}},
    {{"CHART_LIMITS_DIALOG", "BTN_OK"}, {"CHART_LIMITS_DIALOG", "BTN_CANCEL"}},
    {{"TOOLS", "MNU_TOOLS_PROCESS"},
     {"TOOLS", "MNU_TOOLS_MIX"},
     {"TOOLS", "MNU_TOOLS_DEW_WET_POINT"},
     {"TOOLS", "MNU_TOOLS_PROPERTIES"},
     {"TOOLS", "MNU_TOOLS_ALTITUDE"}},
    {{"TOOLS", "BTN_CALCULATE"}, {"TOOLS", "BTN_OK"}, {"TOOLS", "BTN_CANCEL"}},
    {{"MENUS", "MNU_FILE"},
     {"MENUS", "MNU_OPTIONS"},
     {"TOOLS", "MNU_TOOLS"},
     {"MENUS", "MNU_HELP"},
     {"POINTS_PANEL", "BTN_ADD"},
     {"POINTS_PANEL", "BTN_DELETE"},
     {"POINTS_PANEL", "BTN_INSERT"},
     {"POINTS_PANEL", "BTN_EDIT"},
     {"FLOW_DATA_PANEL", "RDB_NORMAL"},
     {"FLOW_DATA_PANEL", "RDB_REAL"},
     {"FLOW_DATA_PANEL", "BTN_UPDATE"}},
    {{"MENUS", "MNU_FILE_NEW"},
     {"MENUS", "MNU_FILE_OPEN"},
     {"MENUS", "MNU_FILE_SAVE"},
     {"MENUS", "MNU_FILE_SAVE_AS"},
     {"MENUS", "MNU_FILE_SAVE_CHART_AS_PICTURE"},
     {"MENUS", "MNU_FILE_PRINT"},
     {"MENUS", "MNU_FILE_EXIT"}},
    {{"MENUS", "MNU_OPTIONS_LIMITS"}, {"MENUS", "MNU_OPTIONS_LANGUAGE"}},
    {{"MENUS", "MNU_HELP_HELP"}, {"MENUS", "MNU_HELP_ABOUT"}},
};

// The access key of a caption: the character after a single "&", folded to
// lower case when it is ASCII; empty when there is none.
std::string AccessKey(const std::string& Caption) {
    for (std::size_t I = 0; I + 1 < Caption.size(); ++I) {
        if (Caption[I] != '&') {
            continue;
        }
        if (Caption[I + 1] == '&') {
            ++I;
            continue;
        }
        std::size_t End = I + 1;
        DecodeUtf8(Caption, End);
        std::string Key = Caption.substr(I + 1, End - I - 1);
        if (Key.size() == 1 && Key[0] >= 'A' && Key[0] <= 'Z') {
            Key[0] = static_cast<char>(Key[0] - 'A' + 'a');
        }
        return Key;
    }
    return {};
}

bool IsUtf8(const std::string& Text) {
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
        if (DecodeUtf8(Text, Pos) < 0) {
            return false;
        }
    }
    return true;
}

// Section and key pairs of a language file, read as plainly as possible.
std::set<std::string> KeysInFile(const std::filesystem::path& File) {
    std::ifstream In(File, std::ios::binary);
    std::set<std::string> Keys;
    std::string Line;
    std::string Section;
    while (std::getline(In, Line)) {
        if (!Line.empty() && Line.back() == '\r') {
            Line.pop_back();
        }
        if (Line.empty() || Line[0] == ';') {
            continue;
        }
        if (Line[0] == '[') {
            Section = Line.substr(1, Line.size() - 2);
        } else {
            Keys.insert(Section + "/" + Line.substr(0, Line.find('=')));
        }
    }
    return Keys;
}

class LanguageFilesTest : public testing::Test {
protected:
    LanguageFilesTest() {
        const std::filesystem::path Data = std::filesystem::path(PSYKRONA_SOURCE_DIR) / "data";
        for (const auto& E : std::filesystem::directory_iterator(Data)) {
            const std::string Ext = E.path().extension().string();
            if (Ext == ".lng" || E.path().filename() == "Languages.xml") {
                std::filesystem::copy_file(E.path(), Folder.Path() / E.path().filename());
                if (Ext == ".lng") {
                    LanguageFiles.push_back(E.path());
                }
            }
        }
        TTranslator::CreateInstance(DomImpl, Parser, Folder.Dir());
    }
    ~LanguageFilesTest() override { TTranslator::DestroyInstance(); }

    test::TTempFolder Folder;
    TDomImplementation DomImpl;
    TXmlParser Parser{DomImpl};
    std::vector<std::filesystem::path> LanguageFiles;
};

TEST_F(LanguageFilesTest, ListsEnglishSwedishAndHungarianWithEnglishFirstAndDefault) {
    int Index = -1;
    EXPECT_EQ(TTranslator::GetLanguages(Index), (std::vector<std::string>{"English", "Svenska", "Magyar"}));
    EXPECT_EQ(Index, 0);
    const char* Codes[] = {"en", "sv", "hu"};
    for (int I = 0; I < 3; ++I) {
        TTranslator::SetLanguage(I);
        EXPECT_EQ(TTranslator::GetLanguageCode(), Codes[I]);
    }
    EXPECT_EQ(LanguageFiles.size(), 3u);
}

TEST_F(LanguageFilesTest, EveryLanguageHasEveryTextTheProgramAsksFor) {
    for (int Language = 0; Language < 3; ++Language) {
        TTranslator::SetLanguage(Language);
        const std::string Code = TTranslator::GetLanguageCode();
        for (const TSection& S : RequiredTexts) {
            for (const char* Key : S.Keys) {
                const std::string Text = TTranslator::GetText(S.Name, Key);
                EXPECT_NE(Text, Key) << Code << ": " << S.Name << "/" << Key << " is missing";
                EXPECT_FALSE(Text.empty()) << Code << ": " << S.Name << "/" << Key << " is empty";
                EXPECT_TRUE(IsUtf8(Text)) << Code << ": " << S.Name << "/" << Key << " is not UTF-8";
                EXPECT_EQ(Text.find_first_of("\t\r\n"), std::string::npos) << Code << ": " << Key;
            }
        }
    }
}

TEST_F(LanguageFilesTest, FilesHoldNoKeyThatNobodyAsksFor) {
    std::set<std::string> Required;
    for (const TSection& S : RequiredTexts) {
        for (const char* Key : S.Keys) {
            Required.insert(std::string(S.Name) + "/" + Key);
        }
    }
    for (const auto& File : LanguageFiles) {
        EXPECT_EQ(KeysInFile(File), Required) << File;
    }
}

TEST_F(LanguageFilesTest, CaptionsShownTogetherHaveDistinctAccessKeys) {
    for (int Language = 0; Language < 3; ++Language) {
        TTranslator::SetLanguage(Language);
        for (const auto& Group : SharedAccessKeys) {
            std::map<std::string, std::string> Owner;
            for (const auto& [Section, Key] : Group) {
                const std::string Letter = AccessKey(TTranslator::GetText(Section, Key));
                if (Letter.empty()) {
                    continue;
                }
                const auto [It, New] = Owner.emplace(Letter, Key);
                EXPECT_TRUE(New) << TTranslator::GetLanguageCode() << ": " << Key << " and " << It->second
                                 << " share the access key " << Letter;
            }
        }
    }
}

TEST_F(LanguageFilesTest, EnglishResultWarningsMatchTheCommandLineTool) {
    TTranslator::SetLanguage(0);
    EXPECT_EQ(TTranslator::GetText("MESSAGES", "MSG_HIGH_REL_HUM") + " 100%",
              "The relative humidity must not be above 100%");
    EXPECT_EQ(TTranslator::GetText("MESSAGES", "MSG_LOW_SPEC_HUM") + " 0 g/kg",
              "The humidity ratio must not be below 0 g/kg");
}

} // namespace
} // namespace psykrona
