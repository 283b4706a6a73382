#pragma once

#include <iterator>
#include <regex>
#include <string>

namespace psykrona::test {

// The page objects of a PDF file ("/Type /Page", not "/Pages").
inline int PdfPageCount(const std::string& Pdf) {
    static const std::regex Page("/Type\\s*/Page(?![a-zA-Z])");
    return static_cast<int>(std::distance(std::sregex_iterator(Pdf.begin(), Pdf.end(), Page), std::sregex_iterator()));
}

} // namespace psykrona::test
