#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What the document parser and the pull reader share: libxml2's set-up, a
// look at the bytes before libxml2 gets them, and the failure messages in
// our own words. Only the two readers include this header.
namespace psykrona {

// The most attributes (namespace declarations included) one start tag may
// carry. libxml2 checks them for duplicates pair by pair before any
// callback, so tens of thousands stall it for seconds; nothing we read
// carries more than a handful.
constexpr std::size_t MaxXmlAttributes = 1000;

// How far replacing the entity references of a document of InputSize
// bytes may grow it: generous for any real document, and small enough that
// a few nested declarations cannot exhaust the memory or stall the reader.
inline std::size_t XmlExpansionBudget(std::size_t InputSize) {
    return 16 * InputSize + (std::size_t{16} << 20);
}

// libxml2 initialised once per process, with every request for an outside
// resource (DTD, external entity) refused.
void InitXmlLibrary();

// A linear scan of the markup of Bytes (in any encoding libxml2 reads), made
// before libxml2 sees them.
struct TXmlScan {
    bool Blank = false;          // nothing but blanks, or nothing at all
    bool Binary = false;         // control characters no text file holds
    bool Unfinished = false;     // the bytes end inside markup or an open element
    std::size_t MostAttributes = 0;
    int MostAttributesLine = 0;  // the line of the first tag over the limit
    int Lines = 1;
    // The document type declaration as it stands in Bytes, and the encoding
    // of a text of two or four bytes a character (nullptr for one byte).
    std::string_view DocType;
    const char* WideEncoding = nullptr;
};
// PrologOnly stops at the root element's start: enough for Blank, Binary and
// DocType, and quick for any size; the rest is then not filled in.
TXmlScan ScanXml(std::string_view Bytes, bool PrologOnly = false);

// Throws EXmlError when a start tag carries more than MaxXmlAttributes.
// Name is the input as messages show it, quotes included.
void CheckXmlScan(const TXmlScan& Scan, const std::string& Name);

// The first error libxml2 reported that stopped the parse, or failing that
// the first recoverable one.
struct TXmlFault {
    int Code = 0;
    int Level = 0;
    int Line = 0;
    std::string Message;
    // A limit of libxml2 (depth, text length) was hit: the document read so
    // far is incomplete even where libxml2 calls it well-formed.
    bool LimitHit() const;
};
// Takes libxml2's error (an xmlError) into First.
void RecordXmlFault(TXmlFault& First, const void* Error);

// The message for a parse that failed with Fault, e.g. "\"x.xml\" ends
// before the document is complete (line 3)".
std::string DescribeXmlFault(const TXmlScan& Scan, const TXmlFault& Fault, const std::string& Name);

} // namespace psykrona
