#include "localisation/Translator.h"

namespace psykrona {

std::string TTranslator::GetText(const std::string& Section, const std::string& Key) {
    (void)Section;
    return Key;
}

} // namespace psykrona
