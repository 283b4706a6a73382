#pragma once

#include <string>
#include <string_view>

namespace psykrona {

// Whether Text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view Text);

// Windows-1252 (Western European, the code page of older project files) to
// UTF-8. The five bytes the code page leaves undefined map to the C1
// controls of the same number, as Windows itself does.
std::string Windows1252ToUtf8(std::string_view Text);

// A line of 8-bit text from an older file as UTF-8: kept when it already is,
// else read as Windows-1252.
std::string EightBitLineToUtf8(std::string_view Line);

} // namespace psykrona
