#pragma once

#include <string_view>

namespace psykrona {

// Whether Name (UTF-8) is an XML 1.0 Name: a name start character followed
// by name characters. Invalid UTF-8 is never a name.
bool IsXmlName(std::string_view Name);

// Decodes the UTF-8 sequence at Text[Pos]. On success returns the code point
// and advances Pos past it; on an invalid, overlong, truncated or surrogate
// sequence returns -1 and advances Pos by one byte.
long DecodeUtf8(std::string_view Text, std::size_t& Pos);

} // namespace psykrona
