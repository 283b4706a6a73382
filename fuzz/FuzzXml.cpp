// The XML parser and the document model. For any bytes the parser either
// gives a document or throws EXmlError; a parsed document writes as XML that
// parses again into the same document; and a copy of it built node by node
// through the model's own operations writes the same bytes.
#include "fuzz/FuzzSupport.h"
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"
#include "xml/XmlParser.h"

#include <memory>
#include <vector>

using namespace psykrona;

namespace {

std::unique_ptr<TXmlDocument> ParseOrNull(std::string_view Bytes) {
    try {
        return TXmlParser::Parse(Bytes, "fuzz.xml");
    } catch (const EXmlError&) {
        return nullptr;
    }
}

// A copy of Source made with the public operations only: create, append,
// set an attribute, keep the document type declaration. The copy must accept every name and text the parser
// produced.
std::unique_ptr<TXmlDocument> Rebuild(const TXmlDocument& Source) {
    auto Copy = std::make_unique<TXmlDocument>();
    Copy->SetXmlVersion(Source.XmlVersion());
    Copy->SetStandalone(Source.Standalone());
    Copy->SetDocType(Source.DocType(), Source.DocTypePosition());
    struct TFrame {
        const TXmlNode* From;
        TXmlNode* To;
    };
    std::vector<TFrame> Stack{{Source.FirstChild(), Copy.get()}};
    while (!Stack.empty()) {
        const TXmlNode* N = Stack.back().From;
        if (!N) {
            Stack.pop_back();
            continue;
        }
        Stack.back().From = N->NextSibling();
        TXmlNode& Parent = *Stack.back().To;
        switch (N->NodeType()) {
        case TXmlNodeType::Element: {
            const auto& From = static_cast<const TXmlElement&>(*N);
            TXmlElement& E = Parent.AppendChild(Copy->CreateElement(From.NodeName()));
            for (const TXmlAttribute& A : From.Attributes()) {
                E.SetAttribute(A.Name, A.Value);
            }
            Stack.push_back({N->FirstChild(), &E});
            break;
        }
        case TXmlNodeType::Text:
            Parent.AppendChild(Copy->CreateTextNode(N->NodeValue()));
            break;
        case TXmlNodeType::Comment:
            Parent.AppendChild(Copy->CreateComment(N->NodeValue()));
            break;
        case TXmlNodeType::ProcessingInstruction:
            Parent.AppendChild(Copy->CreateProcessingInstruction(N->NodeName(), N->NodeValue()));
            break;
        case TXmlNodeType::Document:
            fuzz::Violated("a document node inside a document");
        }
    }
    return Copy;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::unique_ptr<TXmlDocument> Doc = ParseOrNull(fuzz::AsBytes(Data, Size));
    if (!Doc) {
        return 0;
    }
    const TXmlElement* Root = Doc->DocumentElement();
    if (!Root) {
        fuzz::Violated("a parsed document without a root element");
    }
    (void)Root->TextContent();
    if (Root->FindChildElement(Root->NodeName()) == Root) {
        fuzz::Violated("an element is its own child");
    }

    const std::string First = Doc->WriteToString();
    std::unique_ptr<TXmlDocument> Copy;
    try {
        Copy = Rebuild(*Doc);
    } catch (const EXmlError& E) {
        fuzz::Violated(std::string("the model refuses what its parser produced: ") + E.what(), First);
    }
    if (Copy->WriteToString() != First) {
        fuzz::Violated("a copy built node by node writes other bytes", First);
    }

    std::unique_ptr<TXmlDocument> Again;
    try {
        Again = TXmlParser::Parse(First, "written.xml");
    } catch (const EXmlError& E) {
        fuzz::Violated(std::string("a written document does not parse: ") + E.what(), First);
    }
    const std::string Second = Again->WriteToString();
    if (fuzz::LineEndsAsLf(Second) != fuzz::LineEndsAsLf(First)) {
        fuzz::Violated("a written document reads back as another document",
                       First + "\n=== again ===\n" + Second);
    }
    const std::unique_ptr<TXmlDocument> Third = ParseOrNull(Second);
    if (!Third || Third->WriteToString() != Second) {
        fuzz::Violated("writing a read-back document is not stable", Second);
    }
    return 0;
}
