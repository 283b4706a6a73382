#pragma once

#include <string>
#include <string_view>

namespace psykrona {

// Appends Text to Out as the content of an element, by the same rules the
// document writer applies to text nodes, for writers that stream a document
// without building its tree.
void AppendXmlText(std::string& Out, std::string_view Text);

} // namespace psykrona
