#pragma once

#include "xml/XmlDocument.h"

#include <memory>
#include <string>
#include <string_view>

namespace psykrona {

class TDomImplementation;

// Reads XML into documents. Every text node is kept, whitespace between
// elements included; CDATA sections become text; references to entities
// declared in the document are replaced by their content. Nothing is ever
// fetched from the network or another file: external entities and DTDs are
// not loaded, and a reference to an external entity fails the parse.
// Encodings: UTF-8, UTF-16 and whatever the declaration names among the
// ISO-8859 parts and the Windows code pages.
class TXmlParser {
public:
    TXmlParser() = default;
    explicit TXmlParser(TDomImplementation& DomImpl) : FDomImpl(&DomImpl) {}

    // The factory that owns the documents this parser reads.
    void SetDomImpl(TDomImplementation* DomImpl) { FDomImpl = DomImpl; }
    TDomImplementation* DomImpl() const { return FDomImpl; }

    // Parses the file into a new document owned by the bound factory.
    // Throws EXmlFileError when the file cannot be read, EXmlError when it is
    // not well-formed XML or no factory is bound.
    TXmlDocument& ParseFile(const std::string& FileName) const;
    // The same for bytes in memory; SourceName names them in messages.
    TXmlDocument& ParseBytes(std::string_view Bytes, const std::string& SourceName) const;

    // The one entry point from bytes to a tree, safe for any input: it either
    // returns a document or throws EXmlError.
    static std::unique_ptr<TXmlDocument> Parse(std::string_view Bytes, const std::string& SourceName);

private:
    TDomImplementation* FDomImpl = nullptr;
};

} // namespace psykrona
