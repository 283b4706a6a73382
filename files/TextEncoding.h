#pragma once

#include <string>
#include <string_view>

namespace psykrona {

// Whether Text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view Text);

// The 8-bit code pages of older texts.
enum class TCodePage { Windows1250, Windows1252 };

// The code page older files of a language were saved in: Windows-1250
// (Central European: Hungarian "ő" and "ű" exist only there) for Hungarian,
// Windows-1252 (Western European) for English, Swedish and any other.
TCodePage CodePageOfLanguage(std::string_view LanguageCode);

// 8-bit text in Page as UTF-8. A byte the code page leaves undefined maps to
// the C1 control of the same number, as Windows itself does.
std::string EightBitToUtf8(std::string_view Text, TCodePage Page);

// A line of 8-bit text from an older file as UTF-8: kept when it already is,
// else read in Page.
std::string EightBitLineToUtf8(std::string_view Line, TCodePage Page);

// Whether Text ends with End; with IgnoreCase, ASCII letters match in either
// case (file-name endings such as ".pkx" or ".SVG").
bool EndsWith(std::string_view Text, std::string_view End, bool IgnoreCase = false);

} // namespace psykrona
