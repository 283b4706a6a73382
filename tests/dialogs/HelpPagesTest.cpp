// The help pages shipped in data/help: one per shipped language plus the
// common page, each well-formed (so no tag is left open), marked with its own
// language, and with every local link, stylesheet and section anchor present.
#include "xml/XmlParser.h"

#include "tests/dialogs/DialogTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace psykrona {
namespace {

std::string ReadFile(const std::filesystem::path& P) {
    std::ifstream In(P, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

TEST(HelpPagesTest, EveryShippedLanguageHasAPageAndEveryLocalLinkResolves) {
    const std::filesystem::path Help = std::filesystem::path(PSYKRONA_SOURCE_DIR) / "data" / "help";
    std::vector<std::filesystem::path> Pages{Help / "index.html"};
    for (const test::TLanguage& L : test::ShippedLanguages()) {
        Pages.push_back(Help / L.Code / "index.html");
        ASSERT_TRUE(std::filesystem::is_regular_file(Pages.back())) << Pages.back();
    }
    const std::regex Link(R"re((?:href|src)="([^"#:]*)(#[^"]*)?")re");
    const std::regex Lang(R"re(<html lang="([a-z]+)")re");
    for (const auto& Page : Pages) {
        const std::string Html = ReadFile(Page);
        EXPECT_EQ(Html.rfind("<!DOCTYPE html>", 0), 0u) << Page;
        EXPECT_NO_THROW(TXmlParser::Parse(Html, Page.string())) << Page;
        std::smatch M;
        ASSERT_TRUE(std::regex_search(Html, M, Lang)) << Page;
        const std::string Folder = Page.parent_path().filename().string();
        EXPECT_EQ(M[1].str(), Folder == "help" ? "en" : Folder) << Page;
        for (auto It = std::sregex_iterator(Html.begin(), Html.end(), Link); It != std::sregex_iterator();
             ++It) {
            const std::string Target = (*It)[1].str();
            const std::string Fragment = (*It)[2].str();
            if (Target.empty()) {
                EXPECT_NE(Html.find("id=\"" + Fragment.substr(1) + "\""), std::string::npos)
                    << Page << " links to " << Fragment;
                continue;
            }
            EXPECT_TRUE(std::filesystem::exists(Page.parent_path() / Target))
                << Page << " links to " << Target;
        }
    }
}

} // namespace
} // namespace psykrona
