#include "xml/XmlPullReader.h"

#include "xml/XmlError.h"

#include <libxml/parserInternals.h>
#include <libxml/xmlreader.h>

#include <limits>

namespace psykrona {

struct TXmlPullReader::TImpl {
    xmlTextReaderPtr Reader = nullptr;
    std::string SourceName;
    std::string FirstError;
    bool PendingEnd = false; // an empty element's end comes next
    bool InPendingEnd = false;
    int PendingDepth = 0;
    std::string PendingName;
};

namespace {

void CollectError(void* Context, xmlErrorPtr Error) {
    auto* Impl = static_cast<TXmlPullReader::TImpl*>(Context);
    if (Error == nullptr || !Impl->FirstError.empty() || Error->level < XML_ERR_ERROR) {
        return;
    }
    std::string Message = Error->message != nullptr ? Error->message : "not well-formed";
    while (!Message.empty() && (Message.back() == '\n' || Message.back() == ' ')) {
        Message.pop_back();
    }
    // libxml2's own wording names its parse option, which means nothing to
    // the user.
    if (Message.starts_with("Excessive depth in document")) {
        Message =
            "the elements are nested too deeply (more than " + std::to_string(xmlParserMaxDepth) + " levels)";
    }
    Impl->FirstError = "line " + std::to_string(Error->line) + ": " + Message;
}

std::string_view View(const xmlChar* Text) {
    return Text == nullptr ? std::string_view() : std::string_view(reinterpret_cast<const char*>(Text));
}

} // namespace

TXmlPullReader::TXmlPullReader(std::string_view Bytes, std::string SourceName) : FImpl(std::make_unique<TImpl>()) {
    FImpl->SourceName = std::move(SourceName);
    if (Bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        throw EXmlError("'" + FImpl->SourceName + "' is too large to be read");
    }
    // No network, no DTD loading, no entity substitution: a document can
    // reach nothing outside its own bytes.
    FImpl->Reader = xmlReaderForMemory(Bytes.data(), static_cast<int>(Bytes.size()), nullptr, nullptr,
                                       XML_PARSE_NONET | XML_PARSE_NOCDATA | XML_PARSE_NOWARNING |
                                           XML_PARSE_NOERROR);
    if (FImpl->Reader == nullptr) {
        throw EXmlError("'" + FImpl->SourceName + "' cannot be read as XML");
    }
    xmlTextReaderSetStructuredErrorHandler(FImpl->Reader, &CollectError, FImpl.get());
}

TXmlPullReader::~TXmlPullReader() {
    if (FImpl->Reader != nullptr) {
        xmlFreeTextReader(FImpl->Reader);
    }
}

TXmlPullReader::TEvent TXmlPullReader::Next() {
    TImpl& I = *FImpl;
    if (I.PendingEnd) {
        I.PendingEnd = false;
        I.InPendingEnd = true;
        return TEvent::EndElement;
    }
    I.InPendingEnd = false;
    const int Result = xmlTextReaderRead(I.Reader);
    if (Result < 0 || !I.FirstError.empty()) {
        throw EXmlError("'" + I.SourceName + "' is not well-formed XML (" +
                        (I.FirstError.empty() ? std::string("unreadable") : I.FirstError) + ")");
    }
    if (Result == 0) {
        return TEvent::End;
    }
    switch (xmlTextReaderNodeType(I.Reader)) {
    case XML_READER_TYPE_ELEMENT:
        if (xmlTextReaderIsEmptyElement(I.Reader) == 1) {
            I.PendingEnd = true;
            I.PendingName = View(xmlTextReaderConstName(I.Reader));
            I.PendingDepth = xmlTextReaderDepth(I.Reader);
        }
        return TEvent::StartElement;
    case XML_READER_TYPE_END_ELEMENT:
        return TEvent::EndElement;
    case XML_READER_TYPE_TEXT:
    case XML_READER_TYPE_CDATA:
    case XML_READER_TYPE_WHITESPACE:
    case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
        return TEvent::Text;
    case XML_READER_TYPE_COMMENT:
        return TEvent::Comment;
    default:
        return TEvent::Other;
    }
}

std::string_view TXmlPullReader::Name() const {
    if (FImpl->InPendingEnd) {
        return FImpl->PendingName;
    }
    return View(xmlTextReaderConstName(FImpl->Reader));
}

std::string_view TXmlPullReader::Value() const {
    if (FImpl->InPendingEnd) {
        return {};
    }
    return View(xmlTextReaderConstValue(FImpl->Reader));
}

int TXmlPullReader::Depth() const {
    if (FImpl->InPendingEnd) {
        return FImpl->PendingDepth;
    }
    return xmlTextReaderDepth(FImpl->Reader);
}

} // namespace psykrona
