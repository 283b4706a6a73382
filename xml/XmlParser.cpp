#include "xml/XmlParser.h"

#include "xml/DomImplementation.h"
#include "xml/FileAccess.h"
#include "xml/XmlError.h"
#include "xml/XmlParserSupport.h"

#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/SAX2.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <iconv.h>

#include <climits>
#include <optional>
#include <vector>

namespace psykrona {

namespace {

// Routes libxml2's reports to RecordXmlFault for the current thread while
// it lives; the core prints nothing.
#if LIBXML_VERSION >= 21200
void CollectError(void* Data, const xmlError* Error) {
#else
void CollectError(void* Data, xmlErrorPtr Error) {
#endif
    RecordXmlFault(*static_cast<TXmlFault*>(Data), Error);
}

class TErrorCapture {
public:
    explicit TErrorCapture(TXmlFault& First)
        : FOldHandler(xmlStructuredError), FOldContext(xmlStructuredErrorContext) {
        xmlSetStructuredErrorFunc(&First, CollectError);
    }
    ~TErrorCapture() { xmlSetStructuredErrorFunc(FOldContext, FOldHandler); }
    TErrorCapture(const TErrorCapture&) = delete;
    TErrorCapture& operator=(const TErrorCapture&) = delete;

private:
    xmlStructuredErrorFunc FOldHandler;
    void* FOldContext;
};

// libxml2 expands the entities in attribute values while it parses, anew at
// every reference, so a few hundred bytes of nested declarations cost
// seconds before its own amplification check steps in. Each lookup of a
// declared entity is counted; past the budget the document is marked
// ill-formed (without that libxml2 looks the entity up itself) and the
// parser stopped, so the lookups fail and the expansion ends at once.
struct TEntityLookups {
    std::size_t Left = 0;
    bool Exhausted = false;
};
thread_local TEntityLookups* GEntityLookups = nullptr;

xmlEntityPtr CountedGetEntity(void* Ctx, const xmlChar* Name) {
    if (GEntityLookups != nullptr) {
        if (GEntityLookups->Left == 0) {
            GEntityLookups->Exhausted = true;
            auto* Ctxt = static_cast<xmlParserCtxtPtr>(Ctx);
            Ctxt->wellFormed = 0;
            xmlStopParser(Ctxt);
            return nullptr;
        }
        --GEntityLookups->Left;
    }
    return xmlSAX2GetEntity(Ctx, Name);
}

class TEntityLookupBudget {
public:
    explicit TEntityLookupBudget(std::size_t Lookups) : FPrevious(GEntityLookups) {
        FLookups.Left = Lookups;
        GEntityLookups = &FLookups;
    }
    ~TEntityLookupBudget() { GEntityLookups = FPrevious; }
    TEntityLookupBudget(const TEntityLookupBudget&) = delete;
    TEntityLookupBudget& operator=(const TEntityLookupBudget&) = delete;
    bool Exhausted() const { return FLookups.Exhausted; }

private:
    TEntityLookups FLookups;
    TEntityLookups* FPrevious;
};

struct TDocFree {
    void operator()(xmlDocPtr Doc) const { xmlFreeDoc(Doc); }
};
struct TCtxtFree {
    void operator()(xmlParserCtxtPtr Ctxt) const { xmlFreeParserCtxt(Ctxt); }
};

std::string Text(const xmlChar* S) {
    return S ? std::string(reinterpret_cast<const char*>(S)) : std::string();
}

std::string QualifiedName(const xmlNs* Ns, const xmlChar* Name) {
    if (Ns && Ns->prefix) {
        return Text(Ns->prefix) + ":" + Text(Name);
    }
    return Text(Name);
}

std::string Quoted(const std::string& SourceName) {
    return SourceName.empty() ? std::string("The XML text") : "\"" + SourceName + "\"";
}

// Copies libxml2's tree into ours without recursion. Entity references are
// replaced by the entity's content; Budget bounds how much that may grow the
// document, so a few nested declarations cannot exhaust the memory.
class TTreeCopy {
public:
    TTreeCopy(xmlDocPtr Source, TXmlDocument& Target, std::size_t Budget, std::string SourceName)
        : FSource(Source), FTarget(Target), FBudget(Budget), FSourceName(std::move(SourceName)) {}

    void Run() {
        std::vector<TFrame> Stack{{FSource->children, &FTarget}};
        while (!Stack.empty()) {
            const xmlNodePtr N = Stack.back().Next;
            if (!N) {
                Stack.pop_back();
                continue;
            }
            Stack.back().Next = N->next;
            TXmlNode& Parent = *Stack.back().Parent;
            Spend(64);
            switch (N->type) {
            case XML_ELEMENT_NODE: {
                TXmlElement& E = Parent.AppendChild(FTarget.CreateElement(QualifiedName(N->ns, N->name)));
                CopyAttributes(N, E);
                if (N->children) {
                    Stack.push_back({N->children, &E});
                }
                break;
            }
            case XML_TEXT_NODE:
            case XML_CDATA_SECTION_NODE:
                AppendText(Parent, Text(N->content));
                break;
            case XML_COMMENT_NODE:
                Parent.AppendChild(FTarget.CreateComment(Spent(Text(N->content))));
                break;
            case XML_PI_NODE:
                Parent.AppendChild(
                    FTarget.CreateProcessingInstruction(Text(N->name), Spent(Text(N->content))));
                break;
            case XML_ENTITY_REF_NODE: {
                const xmlEntityPtr Entity = InternalEntity(N);
                if (Entity->children) {
                    Stack.push_back({Entity->children, &Parent});
                }
                break;
            }
            case XML_DTD_NODE:
                if (&Parent == &FTarget) {
                    FDocTypePosition = TopLevelCount();
                }
                break;
            default:
                break; // the declarations
            }
        }
    }

    // How many top-level nodes precede the document type declaration, when
    // there is one.
    std::optional<std::size_t> DocTypePosition() const { return FDocTypePosition; }

private:
    struct TFrame {
        xmlNodePtr Next;
        TXmlNode* Parent;
    };

    std::size_t TopLevelCount() const {
        std::size_t Count = 0;
        for (const TXmlNode* N = FTarget.FirstChild(); N; N = N->NextSibling()) {
            ++Count;
        }
        return Count;
    }

    void Spend(std::size_t Bytes) {
        if (Bytes > FBudget) {
            throw EXmlError(Quoted(FSourceName) + " expands its entities beyond any reasonable size");
        }
        FBudget -= Bytes;
    }
    std::string Spent(std::string S) {
        Spend(S.size());
        return S;
    }

    // Adjacent text (around a replaced entity or a CDATA section) becomes one
    // node, as if the document had held it literally.
    void AppendText(TXmlNode& Parent, std::string Value) {
        Spend(Value.size());
        TXmlNode* Last = Parent.LastChild();
        if (Last && Last->NodeType() == TXmlNodeType::Text) {
            Last->AppendData(Value);
        } else if (Parent.NodeType() != TXmlNodeType::Document) {
            Parent.AppendChild(FTarget.CreateTextNode(std::move(Value)));
        }
    }

    void CopyAttributes(xmlNodePtr N, TXmlElement& E) {
        for (const xmlNs* Ns = N->nsDef; Ns; Ns = Ns->next) {
            E.SetAttribute(Ns->prefix ? "xmlns:" + Text(Ns->prefix) : std::string("xmlns"),
                           Spent(Unescaped(Ns->href)));
        }
        for (xmlAttrPtr A = N->properties; A; A = A->next) {
            E.SetAttribute(QualifiedName(A->ns, A->name), ValueOf(A->children));
        }
    }

    // The text of a node list with its entity references replaced, spent as
    // it grows: a value that repeats a large entity stops at the budget
    // instead of being built (and copied anew at every reference) first.
    std::string ValueOf(xmlNodePtr List) {
        std::string Value;
        std::vector<xmlNodePtr> Stack{List};
        while (!Stack.empty()) {
            const xmlNodePtr N = Stack.back();
            if (!N) {
                Stack.pop_back();
                continue;
            }
            Stack.back() = N->next;
            switch (N->type) {
            case XML_TEXT_NODE:
            case XML_CDATA_SECTION_NODE:
                if (N->content) {
                    const std::string_view Part(reinterpret_cast<const char*>(N->content));
                    Spend(Part.size());
                    Value += Part;
                }
                break;
            case XML_ENTITY_REF_NODE:
                Spend(64);
                Stack.push_back(InternalEntity(N)->children);
                break;
            case XML_ELEMENT_NODE:
                Stack.push_back(N->children);
                break;
            default:
                break;
            }
        }
        return Value;
    }

    xmlEntityPtr InternalEntity(xmlNodePtr Reference) const {
        const xmlEntityPtr Entity = xmlGetDocEntity(FSource, Reference->name);
        if (!Entity || Entity->etype != XML_INTERNAL_GENERAL_ENTITY) {
            throw EXmlError(Quoted(FSourceName) + " refers to the entity \"" + Text(Reference->name) +
                            "\", whose content is not available (external entities are not read)");
        }
        return Entity;
    }

    // Without entity substitution libxml2 keeps a namespace declaration's
    // value in its escaped attribute form ("&#38;" for "&", entity
    // references as written); it is read the way other attribute values are.
    std::string Unescaped(const xmlChar* Href) const {
        if (!Href || !xmlStrchr(Href, '&')) {
            return Text(Href);
        }
        const xmlNodePtr List = xmlStringGetNodeList(FSource, Href);
        xmlChar* Value = xmlNodeListGetString(FSource, List, 1);
        std::string Result = Text(Value);
        xmlFree(Value);
        xmlFreeNodeList(List);
        return Result;
    }

    xmlDocPtr FSource;
    TXmlDocument& FTarget;
    std::size_t FBudget;
    std::string FSourceName;
    std::optional<std::size_t> FDocTypePosition;
};

// The document type declaration in UTF-8 with its line ends as LF, as the
// document model holds every text: Raw is in the document's encoding.
std::optional<std::string> DocTypeAsUtf8(std::string_view Raw, const char* WideEncoding,
                                         const std::string& Declared) {
    std::string Utf8;
    const std::string From = WideEncoding ? std::string(WideEncoding) : Declared;
    if (From.empty() || xmlStrcasecmp(reinterpret_cast<const xmlChar*>(From.c_str()),
                                      reinterpret_cast<const xmlChar*>("UTF-8")) == 0) {
        Utf8 = Raw;
    } else {
        const iconv_t Cd = iconv_open("UTF-8", From.c_str());
        if (Cd == reinterpret_cast<iconv_t>(-1)) { // NOLINT(performance-no-int-to-ptr): iconv_open's failure value
            return std::nullopt;
        }
        std::string In(Raw);
        char* InPtr = In.data();
        std::size_t InLeft = In.size();
        Utf8.resize(In.size() * 4 + 16);
        char* OutPtr = Utf8.data();
        std::size_t OutLeft = Utf8.size();
        const std::size_t Done = iconv(Cd, &InPtr, &InLeft, &OutPtr, &OutLeft);
        iconv_close(Cd);
        if (Done == static_cast<std::size_t>(-1) || InLeft != 0) {
            return std::nullopt;
        }
        Utf8.resize(Utf8.size() - OutLeft);
    }
    std::string Result;
    Result.reserve(Utf8.size());
    for (std::size_t I = 0; I < Utf8.size(); ++I) {
        if (Utf8[I] == '\r') {
            Result += '\n';
            if (I + 1 < Utf8.size() && Utf8[I + 1] == '\n') {
                ++I;
            }
        } else {
            Result += Utf8[I];
        }
    }
    return Result;
}

} // namespace

std::unique_ptr<TXmlDocument> TXmlParser::Parse(std::string_view Bytes, const std::string& SourceName) {
    if (Bytes.empty()) {
        throw EXmlError(Quoted(SourceName) + " is empty, not an XML document");
    }
    if (Bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        throw EXmlError(Quoted(SourceName) + " is too large to be read");
    }
    const TXmlScan Scan = ScanXml(Bytes);
    CheckXmlScan(Scan, Quoted(SourceName));
    InitXmlLibrary();
    TXmlFault First;
    const TErrorCapture Capture(First);
    const std::unique_ptr<xmlParserCtxt, TCtxtFree> Ctxt(xmlNewParserCtxt());
    if (!Ctxt) {
        throw EXmlError("Out of memory while reading " + Quoted(SourceName));
    }
    // Without XML_PARSE_HUGE libxml2 keeps its limits on nesting depth and
    // text size; without NOENT, DTDLOAD and the DTD options it loads nothing
    // from outside. Whitespace-only text is kept (no NOBLANKS).
    const int Options = XML_PARSE_NONET | XML_PARSE_NOCDATA | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    // Our files use no entities of their own; a generous allowance still
    // lets any ordinary document through.
    const TEntityLookupBudget Lookups(100000 + 16 * Bytes.size());
    Ctxt->sax->getEntity = CountedGetEntity;
    const std::unique_ptr<xmlDoc, TDocFree> Source(xmlCtxtReadMemory(
        Ctxt.get(), Bytes.data(), static_cast<int>(Bytes.size()), SourceName.c_str(), nullptr, Options));
    if (Lookups.Exhausted()) {
        throw EXmlError(Quoted(SourceName) +
                        " is not well-formed XML (its entity references expand beyond any sensible size)");
    }
    // A text over libxml2's size limit is cut short with no more than a
    // recoverable error: the document is not what the file holds.
    if (!Source || !Ctxt->wellFormed || First.LimitHit()) {
        throw EXmlError(DescribeXmlFault(Scan, First, Quoted(SourceName)));
    }

    auto Result = std::make_unique<TXmlDocument>();
    const std::string Version = Text(Source->version);
    try {
        Result->SetXmlVersion(Version.empty() ? "1.0" : Version);
    } catch (const EXmlError&) {
        Result->SetXmlVersion("1.0");
    }
    if (Source->standalone == 0 || Source->standalone == 1) {
        Result->SetStandalone(Source->standalone == 1);
    }
    const std::size_t Budget = XmlExpansionBudget(Bytes.size());
    TTreeCopy Copy(Source.get(), *Result, Budget, SourceName);
    Copy.Run();
    if (!Result->DocumentElement()) {
        throw EXmlError(Quoted(SourceName) + " has no root element");
    }
    if (Copy.DocTypePosition() && !Scan.DocType.empty()) {
        if (std::optional<std::string> DocType =
                DocTypeAsUtf8(Scan.DocType, Scan.WideEncoding, Text(Source->encoding))) {
            Result->SetDocType(std::move(*DocType), *Copy.DocTypePosition());
        }
    }
    return Result;
}

TXmlDocument& TXmlParser::ParseBytes(std::string_view Bytes, const std::string& SourceName) const {
    if (!FDomImpl) {
        throw EXmlError("The XML parser has no document factory to hold " + Quoted(SourceName));
    }
    return FDomImpl->AdoptDocument(Parse(Bytes, SourceName));
}

TXmlDocument& TXmlParser::ParseFile(const std::string& FileName) const {
    // Parse takes no more than INT_MAX bytes; reading stops there.
    return ParseBytes(ReadFileBytes(FileName, INT_MAX), FileName);
}

} // namespace psykrona
