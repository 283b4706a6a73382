#include "xml/XmlPullReader.h"

#include "xml/XmlError.h"
#include "xml/XmlParserSupport.h"

#include <libxml/entities.h>
#include <libxml/xmlreader.h>

#include <limits>
#include <utility>
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

// Fills E in place: its strings keep their memory from node to node.
void Set(TNodeEvent& E, TXmlPullReader::TEvent Event, int Depth, const xmlChar* Name, const xmlChar* Value) {
    E.Event = Event;
    E.Depth = Depth;
    E.Name.assign(Name == nullptr ? "" : reinterpret_cast<const char*>(Name));
    E.Value.assign(Value == nullptr ? "" : reinterpret_cast<const char*>(Value));
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
    // The reader's document, once asked for: from then on libxml2 leaves
    // freeing it to us.
    xmlDocPtr Doc = nullptr;
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
    std::string PendingName;
    int PendingDepth = 0;
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
        if (Doc == nullptr) {
            Doc = xmlTextReaderCurrentDoc(Reader);
        }
        const xmlEntityPtr Entity = xmlGetDocEntity(Doc, EntityName);
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
                    Set(E, TEvent::EndElement, Depth, nullptr, nullptr);
                    E.Name = QualifiedName(Close->ns, Close->name);
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
                Set(E, TEvent::StartElement, Depth, nullptr, nullptr);
                E.Name = QualifiedName(N->ns, N->name);
                Frames.push_back({N->children, Depth + 1, N});
                return true;
            case XML_TEXT_NODE:
            case XML_CDATA_SECTION_NODE:
                Set(E, TEvent::Text, Depth, nullptr, N->content);
                Spend(E.Value.size());
                return true;
            case XML_COMMENT_NODE:
                Set(E, TEvent::Comment, Depth, nullptr, N->content);
                Spend(E.Value.size());
                return true;
            case XML_ENTITY_REF_NODE:
                Enter(N->name, Depth);
                break;
            default:
                Set(E, TEvent::Other, Depth, N->name, nullptr);
                return true;
            }
        }
        return false;
    }

    void ReadNode(TNodeEvent& E) {
        for (;;) {
            if (PendingEnd) {
                PendingEnd = false;
                Set(E, TEvent::EndElement, PendingDepth, nullptr, nullptr);
                E.Name.assign(PendingName);
                return;
            }
            if (FromEntity(E)) {
                return;
            }
            const int Result = xmlTextReaderRead(Reader);
            if (Result < 0 || !First.Message.empty()) {
                throw EXmlError(DescribeXmlFault(Scan, First, Name));
            }
            if (Result == 0) {
                Set(E, TEvent::End, 0, nullptr, nullptr);
                return;
            }
            const int Depth = xmlTextReaderDepth(Reader);
            switch (xmlTextReaderNodeType(Reader)) {
            case XML_READER_TYPE_ENTITY_REFERENCE:
                Enter(xmlTextReaderConstLocalName(Reader), Depth);
                continue;
            case XML_READER_TYPE_ELEMENT:
                Set(E, TEvent::StartElement, Depth, xmlTextReaderConstName(Reader), nullptr);
                if (xmlTextReaderIsEmptyElement(Reader) == 1) {
                    PendingEnd = true;
                    PendingName.assign(E.Name);
                    PendingDepth = Depth;
                }
                return;
            case XML_READER_TYPE_END_ELEMENT:
                Set(E, TEvent::EndElement, Depth, xmlTextReaderConstName(Reader), nullptr);
                return;
            case XML_READER_TYPE_TEXT:
            case XML_READER_TYPE_CDATA:
            case XML_READER_TYPE_WHITESPACE:
            case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
                Set(E, TEvent::Text, Depth, nullptr, xmlTextReaderConstValue(Reader));
                return;
            case XML_READER_TYPE_COMMENT:
                Set(E, TEvent::Comment, Depth, nullptr, xmlTextReaderConstValue(Reader));
                return;
            default:
                Set(E, TEvent::Other, Depth, xmlTextReaderConstName(Reader), nullptr);
                return;
            }
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

TXmlPullReader::TXmlPullReader(std::string_view Bytes, const std::string& SourceName) : FImpl(std::make_unique<TImpl>()) {
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
    if (FImpl->Doc != nullptr) {
        xmlFreeDoc(FImpl->Doc);
    }
}

TXmlPullReader::TEvent TXmlPullReader::Next() {
    TImpl& I = *FImpl;
    if (I.HasAhead) {
        I.HasAhead = false;
        std::swap(I.Current, I.Ahead);
    } else {
        I.ReadNode(I.Current);
    }
    // Adjacent text (around a replaced entity or a CDATA section) is one
    // text, as if the document had held it literally.
    while (I.Current.Event == TEvent::Text) {
        I.ReadNode(I.Ahead);
        if (I.Ahead.Event != TEvent::Text || I.Ahead.Depth != I.Current.Depth) {
            I.HasAhead = true;
            break;
        }
        I.Current.Value += I.Ahead.Value;
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
