#pragma once

#include <cmath>
#include <cstdlib>
#include <map>
#include <regex>
#include <string>

namespace psykrona::test {

// The numeric fields of psykrona-cli's JSON ({"pressure":…,"dew_point":null})
// into numbers, read back exactly; null reads as NaN.
inline std::map<std::string, double> ParseJson(const std::string& Text) {
    std::map<std::string, double> Values;
    const std::regex Field("\"([a-z_]+)\":([-0-9.eE+]+|null)");
    for (auto It = std::sregex_iterator(Text.begin(), Text.end(), Field); It != std::sregex_iterator();
         ++It) {
        Values[(*It)[1]] = (*It)[2] == "null" ? std::nan("") : std::strtod((*It)[2].str().c_str(), nullptr);
    }
    return Values;
}

} // namespace psykrona::test
