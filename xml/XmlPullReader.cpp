#include "xml/XmlPullReader.h"

#include "xml/XmlError.h"
#include "xml/XmlParserSupport.h"

#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlreader.h>

#include <algorithm>
#include <cstring>
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
    // What Name() and Value() give: Current's strings, or the SAX queue's.
    std::string_view CurrentName;
    std::string_view CurrentValue;

    // Documents without a document type declaration hold no entity of
    // their own, so nothing needs libxml2's nodes: its SAX parser is fed the
    // bytes a piece at a time and the events of each piece are queued, their
    // texts in one buffer that keeps its memory from piece to piece.
    struct TQueued {
        TEvent Event;
        int Depth;
        const char* Name; // libxml2's dictionary keeps it; null: in Texts
        std::size_t Offset;
        std::size_t Length;
    };
    std::string_view Bytes;
    xmlParserCtxtPtr Sax = nullptr;
    std::size_t Fed = 0;
    bool Finished = false; // the whole input is parsed
    bool Stopped = false;  // a fault, or a limit the node-building reader has
    std::vector<TQueued> Queue;
    std::size_t Head = 0;
    std::string Texts;
    int Open = 0; // elements open

    std::size_t Delivered = 0; // events Next() gave from the queue

    void StartReader();
    void StartSax();
    TEvent NextQueued();
    TEvent NextNode();

    void Stop() {
        Stopped = true;
        xmlStopParser(Sax);
    }
    // An element's or instruction's name; a prefixed one is put together in
    // Texts.
    void QueueName(TEvent Event, const xmlChar* Local, const xmlChar* Prefix) {
        if (Prefix == nullptr) {
            Queue.push_back({Event, Open, reinterpret_cast<const char*>(Local), 0, 0});
            return;
        }
        const std::size_t Offset = Texts.size();
        Texts.append(reinterpret_cast<const char*>(Prefix)).append(":").append(reinterpret_cast<const char*>(Local));
        Queue.push_back({Event, Open, nullptr, Offset, Texts.size() - Offset});
    }
    // Text joins the text before it, as in a text node: libxml2 gives a
    // text in pieces, and references and CDATA sections each as one.
    void QueueText(TEvent Event, std::string_view Text) {
        if (Event == TEvent::Text && Queue.size() > Head && Queue.back().Event == TEvent::Text) {
            Queue.back().Length += Text.size();
        } else {
            Queue.push_back({Event, Open, nullptr, Texts.size(), Text.size()});
        }
        Texts.append(Text);
        // The node-building reader's limit on one text node.
        if (Queue.back().Length > XML_MAX_TEXT_LENGTH) {
            Stop();
        }
    }

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
    TXmlFault& First = static_cast<TXmlPullReader::TImpl*>(Context)->First;
    RecordXmlFault(First, Error);
    // The streaming parser stops at a "<!" in content that opens neither a
    // comment nor a CDATA section with an internal error of its own; the
    // document parser reads the same bytes as a start tag without a name.
    // Both readers say what the document model says.
    if (First.Code == XML_ERR_INTERNAL_ERROR && First.Message.ends_with("detected an error in element content")) {
        First.Code = XML_ERR_NAME_REQUIRED;
        First.Message = "StartTag: invalid element name";
    }
}

using TEvent = TXmlPullReader::TEvent;

TXmlPullReader::TImpl& Of(void* Context) {
    return *static_cast<TXmlPullReader::TImpl*>(Context);
}

void SaxStart(void* Context, const xmlChar* Local, const xmlChar* Prefix, const xmlChar*, int, const xmlChar**, int,
              int, const xmlChar**) {
    TXmlPullReader::TImpl& I = Of(Context);
    // The node-building reader's limit on nesting.
    if (static_cast<unsigned>(I.Open) > xmlParserMaxDepth) {
        I.Stop();
        return;
    }
    I.QueueName(TEvent::StartElement, Local, Prefix);
    ++I.Open;
}

void SaxEnd(void* Context, const xmlChar* Local, const xmlChar* Prefix, const xmlChar*) {
    TXmlPullReader::TImpl& I = Of(Context);
    --I.Open;
    I.QueueName(TEvent::EndElement, Local, Prefix);
}

void SaxText(void* Context, const xmlChar* Text, int Length) {
    Of(Context).QueueText(TEvent::Text, std::string_view(reinterpret_cast<const char*>(Text),
                                                         static_cast<std::size_t>(Length)));
}

void SaxComment(void* Context, const xmlChar* Text) {
    Of(Context).QueueText(TEvent::Comment, reinterpret_cast<const char*>(Text));
}

void SaxInstruction(void* Context, const xmlChar* Target, const xmlChar*) {
    Of(Context).QueueName(TEvent::Other, Target, nullptr);
}

// Bytes the SAX parser is given at a time: the queue holds one piece's
// events.
constexpr std::size_t SaxPiece = std::size_t{64} * 1024;

// No network, no DTD loading, no entity substitution by libxml2: a
// document can reach nothing outside its own bytes.
constexpr int ParseOptions = XML_PARSE_NONET | XML_PARSE_NOCDATA | XML_PARSE_NOWARNING | XML_PARSE_NOERROR;

} // namespace

void TXmlPullReader::TImpl::StartReader() {
    Reader = xmlReaderForMemory(Bytes.data(), static_cast<int>(Bytes.size()), nullptr, nullptr, ParseOptions);
    if (Reader == nullptr) {
        throw EXmlError(Name + " cannot be read as XML");
    }
    xmlTextReaderSetStructuredErrorHandler(Reader, &CollectError, this);
}

void TXmlPullReader::TImpl::StartSax() {
    xmlSAXHandler Handler{};
    Handler.initialized = XML_SAX2_MAGIC;
    Handler.startElementNs = &SaxStart;
    Handler.endElementNs = &SaxEnd;
    Handler.characters = &SaxText;
    Handler.ignorableWhitespace = &SaxText;
    Handler.cdataBlock = &SaxText;
    Handler.comment = &SaxComment;
    Handler.processingInstruction = &SaxInstruction;
    Handler.serror = &CollectError;
    // The first bytes tell the encoding, as for the reader.
    Fed = std::min<std::size_t>(4, Bytes.size());
    Sax = xmlCreatePushParserCtxt(&Handler, this, Bytes.data(), static_cast<int>(Fed), nullptr);
    if (Sax == nullptr) {
        throw EXmlError(Name + " cannot be read as XML");
    }
    xmlCtxtUseOptions(Sax, ParseOptions);
}

TXmlPullReader::TEvent TXmlPullReader::TImpl::NextQueued() {
    for (;;) {
        // A text at the end of the queue may go on in the next piece.
        if (Head < Queue.size() && (Head + 1 < Queue.size() || Queue[Head].Event != TEvent::Text || Finished)) {
            const TQueued& Q = Queue[Head++];
            ++Delivered;
            Current.Event = Q.Event;
            Current.Depth = Q.Depth;
            const std::string_view Stored = std::string_view(Texts).substr(Q.Offset, Q.Length);
            const bool HasText = Q.Event == TEvent::Text || Q.Event == TEvent::Comment;
            CurrentValue = HasText ? Stored : std::string_view();
            CurrentName = HasText ? std::string_view() : Q.Name != nullptr ? std::string_view(Q.Name) : Stored;
            return Q.Event;
        }
        if (Finished) {
            Current.Event = TEvent::End;
            Current.Depth = 0;
            CurrentName = CurrentValue = {};
            return TEvent::End;
        }
        if (Head < Queue.size()) {
            TQueued Held = Queue[Head];
            Texts.erase(0, Held.Offset);
            Held.Offset = 0;
            Queue.assign(1, Held);
        } else {
            Queue.clear();
            Texts.clear();
        }
        Head = 0;
        const std::size_t Piece = std::min(SaxPiece, Bytes.size() - Fed);
        Finished = Fed + Piece == Bytes.size();
        xmlParseChunk(Sax, Bytes.data() + Fed, static_cast<int>(Piece), Finished ? 1 : 0);
        Fed += Piece;
        if (Stopped || !First.Message.empty() || Sax->wellFormed == 0) {
            // The node-building reader takes over where the document went
            // wrong, giving the events so far again: from there on, the
            // failure and its message are the reader's.
            xmlFreeParserCtxt(Sax);
            Sax = nullptr;
            First = TXmlFault();
            Scan = ScanXml(Bytes);
            CheckXmlScan(Scan, Name);
            StartReader();
            for (std::size_t Skip = Delivered; Skip > 0; --Skip) {
                NextNode();
            }
            return NextNode();
        }
    }
}

TXmlPullReader::TXmlPullReader(std::string_view Bytes, const std::string& SourceName) : FImpl(std::make_unique<TImpl>()) {
    TImpl& I = *FImpl;
    I.Name = "'" + SourceName + "'";
    if (Bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        throw EXmlError(I.Name + " is too large to be read");
    }
    I.Bytes = Bytes;
    I.Budget = XmlExpansionBudget(Bytes.size());
    InitXmlLibrary();
    // Only the prolog needs a look before the SAX parser starts; the whole
    // scan, for the messages, waits for a failure. No start tag can carry
    // more attributes than the bytes hold "=" signs, and they are few.
    I.Scan = ScanXml(Bytes, true);
    std::size_t Signs = 0;
    for (const char* At = Bytes.data(); Signs <= MaxXmlAttributes; ++At, ++Signs) {
        At = static_cast<const char*>(std::memchr(At, '=', static_cast<std::size_t>(Bytes.data() + Bytes.size() - At)));
        if (At == nullptr) {
            break;
        }
    }
    if (I.Scan.DocType.empty() && !I.Scan.Blank && Signs <= MaxXmlAttributes) {
        I.StartSax();
        return;
    }
    I.Scan = ScanXml(Bytes);
    CheckXmlScan(I.Scan, I.Name);
    I.StartReader();
}

TXmlPullReader::~TXmlPullReader() {
    if (FImpl->Sax != nullptr) {
        xmlFreeParserCtxt(FImpl->Sax);
    }
    if (FImpl->Reader != nullptr) {
        xmlFreeTextReader(FImpl->Reader);
    }
    if (FImpl->Doc != nullptr) {
        xmlFreeDoc(FImpl->Doc);
    }
}

TXmlPullReader::TEvent TXmlPullReader::Next() {
    TImpl& I = *FImpl;
    return I.Sax != nullptr ? I.NextQueued() : I.NextNode();
}

TXmlPullReader::TEvent TXmlPullReader::TImpl::NextNode() {
    TImpl& I = *this;
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
    I.CurrentName = I.Current.Name;
    I.CurrentValue = I.Current.Value;
    return I.Current.Event;
}

std::string_view TXmlPullReader::Name() const {
    return FImpl->CurrentName;
}

std::string_view TXmlPullReader::Value() const {
    return FImpl->CurrentValue;
}

int TXmlPullReader::Depth() const {
    return FImpl->Current.Depth;
}

} // namespace psykrona
