#pragma once

#include "xml/XmlNode.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace psykrona {

// An XML document: the top-level nodes (comments, processing instructions
// and at most one root element) and every node created for it.
//
// Written documents follow fixed byte rules: UTF-8 without a byte-order mark;
// the declaration with the version as parsed (else "1.0"), the encoding
// "UTF-8" and the standalone flag only when one was parsed; CR LF after it and
// after each top-level node; a start and an end tag for every element; no
// indentation added; "<", ">", "&", "'" and '"' in text as "&#60;", "&#62;",
// "&#38;", "&#39;" and "&#34;"; every line feed as CR LF, a lone CR and a tab
// as they are; other control characters, U+FFFE and U+FFFF left out.
class TXmlDocument : public TXmlNode {
public:
    // An empty document; the parser fills it.
    TXmlDocument();
    // A document with a root element named RootName; throws EXmlError when
    // the name is not a valid XML name.
    explicit TXmlDocument(const std::string& RootName);

    // The root element, or nullptr in an empty document.
    TXmlElement* DocumentElement() const { return FirstChildElement(); }

    // New nodes of this document, not yet in its tree.
    TXmlElement& CreateElement(const std::string& Name); // throws EXmlError for an invalid name
    TXmlNode& CreateTextNode(std::string Text);
    // Throws EXmlError when Text holds "--" or ends with "-".
    TXmlNode& CreateComment(std::string Text);
    // Throws EXmlError for an invalid target, the target "xml" in any case,
    // or Data holding "?>".
    TXmlNode& CreateProcessingInstruction(const std::string& Target, std::string Data);

    // The version of the declaration: as parsed, "1.0" for a new document.
    const std::string& XmlVersion() const { return FXmlVersion; }
    // Throws EXmlError unless Version is digits, a point and digits.
    void SetXmlVersion(std::string Version);
    // The standalone flag of the declaration, when it has one.
    std::optional<bool> Standalone() const { return FStandalone; }
    void SetStandalone(std::optional<bool> Value) { FStandalone = Value; }

    // The document type declaration ("<!DOCTYPE ...>", line ends as LF) as
    // parsed, written back as it was before the top-level node at Position
    // (or the root element, when that comes first); empty when there is
    // none. Its internal subset is kept but never used for what it declares.
    const std::string& DocType() const { return FDocType; }
    std::size_t DocTypePosition() const { return FDocTypePosition; }
    void SetDocType(std::string Text, std::size_t Position) {
        FDocType = std::move(Text);
        FDocTypePosition = Position;
    }

    // The document's bytes by the writing rules above.
    std::string WriteToString() const;
    // Replaces the file FileName with the document's bytes. The new content
    // is written to a temporary file beside it and renamed over it, so a
    // failed write leaves the old file as it was. Throws EXmlFileError.
    void WriteToFile(const std::string& FileName) const;

private:
    template <typename TNode> TNode& Own(std::unique_ptr<TNode> Node);

    std::vector<std::unique_ptr<TXmlNode>> FNodes;
    std::string FXmlVersion = "1.0";
    std::optional<bool> FStandalone;
    std::string FDocType;
    std::size_t FDocTypePosition = 0;
};

} // namespace psykrona
