#include "xml/XmlPullReader.h"

#include "xml/XmlError.h"
#include "xml/XmlParserSupport.h"

#include <libxml/entities.h>
#include <libxml/xmlreader.h>

#include <limits>
#include <vector>

namespace psykrona {

namespace {

struct TNodeEvent {
    TXmlPullReader::TEvent Event = TXmlPullReader::TEvent::End;
    std::string Name;
    std::string Value;
    int Depth = 0;
};

std::string Text(const xmlChar* S) {
    return S == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(S));
}

std::string QualifiedName(const xmlNs* Ns, const xmlChar* Name) {
    if (Ns != nullptr && Ns->prefix != nullptr) {
        return Text(Ns->prefix) + ":" + Text(Name);
    }
    return Text(Name);
}

} // namespace

// libxml2's reader gives an entity reference as a node of its own. The
// document model replaces it by the entity's content and joins the text
// around it; so does this reader, walking the content that libxml2 parsed
// once into the entity's declaration, within the same expansion budget.
struct TXmlPullReader::TImpl {
    xmlTextReaderPtr Reader = nullptr;
    std::string Name; // the source as messages show it
    TXmlScan Scan;
    TXmlFault First;
    std::size_t Budget = 0;

    // Inside entity content: the next node at each level, its depth, and the
    // element to close when the level is done (none for the entity itself).
    struct TFrame {
        xmlNodePtr Next;
        int Depth;
        xmlNodePtr Close;
    };
    std::vector<TFrame> Frames;
    bool PendingEnd = false; // an empty element's end comes next
    TNodeEvent PendingEndEvent;
    bool HasAhead = false; // read while joining text
    TNodeEvent Ahead;
    TNodeEvent Current;

    void Spend(std::size_t Amount) {
        if (Amount > Budget) {
            throw EXmlError(Name + " expands its entities beyond any reasonable size");
        }
        Budget -= Amount;
    }

    void Enter(const xmlChar* EntityName, int Depth) {
        const xmlEntityPtr Entity = xmlGetDocEntity(xmlTextReaderCurrentDoc(Reader), EntityName);
        if (Entity == nullptr || Entity->etype != XML_INTERNAL_GENERAL_ENTITY) {
            throw EXmlError(Name + " refers to the entity \"" + Text(EntityName) +
                            "\", whose content is not available (external entities are not read)");
        }
        Spend(64);
        Frames.push_back({Entity->children, Depth, nullptr});
    }

    // The next node of entity content, false when every entity is done.
    bool FromEntity(TNodeEvent& E) {
        while (!Frames.empty()) {
            TFrame& F = Frames.back();
            if (F.Next == nullptr) {
                const xmlNodePtr Close = F.Close;
                const int Depth = F.Depth - 1;
                Frames.pop_back();
                if (Close != nullptr) {
                    E = {TEvent::EndElement, QualifiedName(Close->ns, Close->name), {}, Depth};
                    return true;
                }
                continue;
            }
            const xmlNodePtr N = F.Next;
            F.Next = N->next;
            const int Depth = F.Depth;
            Spend(64);
            switch (N->type) {
            case XML_ELEMENT_NODE:
                E = {TEvent::StartElement, QualifiedName(N->ns, N->name), {}, Depth};
                Frames.push_back({N->children, Depth + 1, N});
                return true;
            case XML_TEXT_NODE:
            case XML_CDATA_SECTION_NODE:
                E = {TEvent::Text, {}, Text(N->content), Depth};
                Spend(E.Value.size());
                return true;
            case XML_COMMENT_NODE:
                E = {TEvent::Comment, {}, Text(N->content), Depth};
                Spend(E.Value.size());
                return true;
            case XML_ENTITY_REF_NODE:
                Enter(N->name, Depth);
                break;
            default:
                E = {TEvent::Other, Text(N->name), {}, Depth};
                return true;
            }
        }
        return false;
    }

    TNodeEvent ReadNode() {
        TNodeEvent E;
        for (;;) {
            if (PendingEnd) {
                PendingEnd = false;
                return PendingEndEvent;
            }
            if (FromEntity(E)) {
                return E;
            }
            const int Result = xmlTextReaderRead(Reader);
            if (Result < 0 || !First.Message.empty()) {
                throw EXmlError(DescribeXmlFault(Scan, First, Name));
            }
            if (Result == 0) {
                return E;
            }
            E.Depth = xmlTextReaderDepth(Reader);
            const int Type = xmlTextReaderNodeType(Reader);
            if (Type == XML_READER_TYPE_ENTITY_REFERENCE) {
                Enter(xmlTextReaderConstLocalName(Reader), E.Depth);
                continue;
            }
            switch (Type) {
            case XML_READER_TYPE_ELEMENT:
                E.Event = TEvent::StartElement;
                E.Name = Text(xmlTextReaderConstName(Reader));
                if (xmlTextReaderIsEmptyElement(Reader) == 1) {
                    PendingEnd = true;
                    PendingEndEvent = {TEvent::EndElement, E.Name, {}, E.Depth};
                }
                break;
            case XML_READER_TYPE_END_ELEMENT:
                E.Event = TEvent::EndElement;
                E.Name = Text(xmlTextReaderConstName(Reader));
                break;
            case XML_READER_TYPE_TEXT:
            case XML_READER_TYPE_CDATA:
            case XML_READER_TYPE_WHITESPACE:
            case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
                E.Event = TEvent::Text;
                E.Value = Text(xmlTextReaderConstValue(Reader));
                break;
            case XML_READER_TYPE_COMMENT:
                E.Event = TEvent::Comment;
                E.Value = Text(xmlTextReaderConstValue(Reader));
                break;
            default:
                E.Event = TEvent::Other;
                E.Name = Text(xmlTextReaderConstName(Reader));
                break;
            }
            return E;
        }
    }
};

namespace {

#if LIBXML_VERSION >= 21200
void CollectError(void* Context, const xmlError* Error) {
#else
void CollectError(void* Context, xmlErrorPtr Error) {
#endif
    RecordXmlFault(static_cast<TXmlPullReader::TImpl*>(Context)->First, Error);
}

} // namespace

TXmlPullReader::TXmlPullReader(std::string_view Bytes, std::string SourceName) : FImpl(std::make_unique<TImpl>()) {
    FImpl->Name = "'" + SourceName + "'";
    if (Bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        throw EXmlError(FImpl->Name + " is too large to be read");
    }
    FImpl->Scan = ScanXml(Bytes);
    CheckXmlScan(FImpl->Scan, FImpl->Name);
    FImpl->Budget = XmlExpansionBudget(Bytes.size());
    InitXmlLibrary();
    // No network, no DTD loading, no entity substitution by libxml2: a
    // document can reach nothing outside its own bytes.
    FImpl->Reader = xmlReaderForMemory(Bytes.data(), static_cast<int>(Bytes.size()), nullptr, nullptr,
                                       XML_PARSE_NONET | XML_PARSE_NOCDATA | XML_PARSE_NOWARNING |
                                           XML_PARSE_NOERROR);
    if (FImpl->Reader == nullptr) {
        throw EXmlError(FImpl->Name + " cannot be read as XML");
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
    if (I.HasAhead) {
        I.HasAhead = false;
        I.Current = std::move(I.Ahead);
    } else {
        I.Current = I.ReadNode();
    }
    // Adjacent text (around a replaced entity or a CDATA section) is one
    // text, as if the document had held it literally.
    while (I.Current.Event == TEvent::Text) {
        TNodeEvent Following = I.ReadNode();
        if (Following.Event != TEvent::Text || Following.Depth != I.Current.Depth) {
            I.Ahead = std::move(Following);
            I.HasAhead = true;
            break;
        }
        I.Current.Value += Following.Value;
    }
    return I.Current.Event;
}

std::string_view TXmlPullReader::Name() const {
    return FImpl->Current.Name;
}

std::string_view TXmlPullReader::Value() const {
    return FImpl->Current.Value;
}

int TXmlPullReader::Depth() const {
    return FImpl->Current.Depth;
}

} // namespace psykrona
