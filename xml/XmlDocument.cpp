#include "xml/XmlDocument.h"

#include "xml/FileAccess.h"
#include "xml/XmlError.h"
#include "xml/XmlName.h"

#include <utility>

namespace psykrona {

namespace {

void CheckCommentText(std::string_view Text) {
    if (Text.find("--") != std::string_view::npos || (!Text.empty() && Text.back() == '-')) {
        throw EXmlError(R"(A comment cannot hold "--" or end with "-")");
    }
}

void CheckProcessingInstruction(const std::string& Target, std::string_view Data) {
    if (!IsXmlName(Target)) {
        throw EXmlError("\"" + Target + "\" is not a valid XML name");
    }
    if (Target.size() == 3 && (Target[0] | 0x20) == 'x' && (Target[1] | 0x20) == 'm' &&
        (Target[2] | 0x20) == 'l') {
        throw EXmlError("\"" + Target + "\" is reserved and cannot name a processing instruction");
    }
    if (Data.find("?>") != std::string_view::npos) {
        throw EXmlError("A processing instruction cannot hold \"?>\"");
    }
}

} // namespace

void TXmlNode::SetNodeValue(std::string Value) {
    switch (FType) {
    case TXmlNodeType::Text:
        break;
    case TXmlNodeType::Comment:
        CheckCommentText(Value);
        break;
    case TXmlNodeType::ProcessingInstruction:
        CheckProcessingInstruction(FName, Value);
        break;
    default:
        throw EXmlError("The node \"" + FName + "\" has no value of its own");
    }
    FValue = std::move(Value);
}

void TXmlNode::AppendData(std::string_view Text) {
    if (FType != TXmlNodeType::Text) {
        throw EXmlError("Only a text node can be extended, not \"" + FName + "\"");
    }
    FValue += Text;
}

TXmlDocument::TXmlDocument() : TXmlNode(this, TXmlNodeType::Document, "#document", {}) {}

TXmlDocument::TXmlDocument(const std::string& RootName) : TXmlDocument() {
    AppendChild(CreateElement(RootName));
}

template <typename TNode> TNode& TXmlDocument::Own(std::unique_ptr<TNode> Node) {
    TNode& Result = *Node;
    FNodes.push_back(std::move(Node));
    return Result;
}

TXmlElement& TXmlDocument::CreateElement(const std::string& Name) {
    if (!IsXmlName(Name)) {
        throw EXmlError("\"" + Name + "\" is not a valid XML name");
    }
    return Own(std::unique_ptr<TXmlElement>(new TXmlElement(this, Name)));
}

TXmlNode& TXmlDocument::CreateTextNode(std::string Text) {
    return Own(std::unique_ptr<TXmlNode>(new TXmlNode(this, TXmlNodeType::Text, "#text", std::move(Text))));
}

TXmlNode& TXmlDocument::CreateComment(std::string Text) {
    CheckCommentText(Text);
    return Own(
        std::unique_ptr<TXmlNode>(new TXmlNode(this, TXmlNodeType::Comment, "#comment", std::move(Text))));
}

TXmlNode& TXmlDocument::CreateProcessingInstruction(const std::string& Target, std::string Data) {
    CheckProcessingInstruction(Target, Data);
    return Own(std::unique_ptr<TXmlNode>(
        new TXmlNode(this, TXmlNodeType::ProcessingInstruction, Target, std::move(Data))));
}

void TXmlDocument::SetXmlVersion(std::string Version) {
    const std::size_t Point = Version.find('.');
    const auto AllDigits = [](std::string_view S) {
        return !S.empty() && S.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (Point == std::string::npos || !AllDigits(std::string_view(Version).substr(0, Point)) ||
        !AllDigits(std::string_view(Version).substr(Point + 1))) {
        throw EXmlError("\"" + Version + "\" is not an XML version number");
    }
    FXmlVersion = std::move(Version);
}

void TXmlDocument::WriteToFile(const std::string& FileName) const {
    WriteFileAtomically(FileName, WriteToString());
}

} // namespace psykrona
