#pragma once

#include "xml/XmlDocument.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace psykrona {

// The document factory: it creates documents and owns them, together with
// every document its parsers read, until it is destroyed or a document is
// freed explicitly.
class TDomImplementation {
public:
    TDomImplementation() = default;
    TDomImplementation(const TDomImplementation&) = delete;
    TDomImplementation& operator=(const TDomImplementation&) = delete;

    // A new document whose root element is named RootName; throws EXmlError
    // when that is not a valid XML name.
    TXmlDocument& CreateDocument(const std::string& RootName);
    // Takes ownership of a document made elsewhere (the parser's).
    TXmlDocument& AdoptDocument(std::unique_ptr<TXmlDocument> Document);
    // Destroys Document and all its nodes; nothing of it may be used after.
    // A document that this factory does not own is left alone.
    void FreeDocument(const TXmlDocument& Document);
    std::size_t DocumentCount() const { return FDocuments.size(); }

private:
    std::vector<std::unique_ptr<TXmlDocument>> FDocuments;
};

} // namespace psykrona
