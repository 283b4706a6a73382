#pragma once

#include <string>

namespace psykrona {

// The program's translator: a single instance that holds every language's
// texts; windows ask it for a text by section and key at the moment of use.
class TTranslator {
public:
    // The text of Key in Section in the current language, or Key itself when
    // there is no translator or no such text. Never fails.
    static std::string GetText(const std::string& Section, const std::string& Key);
};

} // namespace psykrona
