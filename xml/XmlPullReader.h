#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace psykrona {

// Reads an XML document from bytes one node at a time, for files too large
// to hold as a tree. The parser is the same as the document model's, with the
// same safety settings (no network, no external entities or DTDs), the same
// encodings and the same limits; a document that is not well-formed fails
// with EXmlError when the reader reaches the fault. Like the document model
// it replaces references to internal entities by their content, within the
// same budget, and gives adjacent text as one Text node.
class TXmlPullReader {
public:
    enum class TEvent { StartElement, EndElement, Text, Comment, Other, End };

    // Bytes must outlive the reader. SourceName names the input in messages.
    TXmlPullReader(std::string_view Bytes, const std::string& SourceName);
    ~TXmlPullReader();
    TXmlPullReader(const TXmlPullReader&) = delete;
    TXmlPullReader& operator=(const TXmlPullReader&) = delete;

    // The next node. An empty element gives a StartElement and then its
    // EndElement, like any other.
    TEvent Next();
    // Element name of a StartElement or EndElement.
    std::string_view Name() const;
    // Text of a Text (character data of any kind, whitespace included) or
    // Comment node, UTF-8.
    std::string_view Value() const;
    // Nesting depth: 0 for the root element.
    int Depth() const;

    struct TImpl;

private:
    std::unique_ptr<TImpl> FImpl;
};

} // namespace psykrona
