#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace psykrona {

class TXmlDocument;
class TXmlElement;

enum class TXmlNodeType { Document, Element, Text, Comment, ProcessingInstruction };

// One node of a document tree. Nodes are created by their document, which
// owns them for its whole life; the links between them are plain pointers,
// so a node stays valid after it has been taken out of the tree.
class TXmlNode {
public:
    virtual ~TXmlNode() = default;
    TXmlNode(const TXmlNode&) = delete;
    TXmlNode& operator=(const TXmlNode&) = delete;

    TXmlNodeType NodeType() const { return FType; }
    bool IsElement() const { return FType == TXmlNodeType::Element; }
    // The tag name of an element, "#text", "#comment", "#document", or the
    // target of a processing instruction.
    const std::string& NodeName() const { return FName; }
    // The text of a text node, comment or processing instruction; empty for
    // an element and the document.
    const std::string& NodeValue() const { return FValue; }
    // Replaces the text of a text node, comment or processing instruction.
    // Throws EXmlError for an element or the document, and for a comment or
    // processing instruction that could not be written back.
    void SetNodeValue(std::string Value);
    // Adds Text to the end of a text node's text; throws EXmlError for any
    // other kind of node.
    void AppendData(std::string_view Text);

    TXmlDocument& OwnerDocument() const { return *FOwner; }
    TXmlNode* ParentNode() const { return FParent; }
    TXmlNode* FirstChild() const { return FFirstChild; }
    TXmlNode* LastChild() const { return FLastChild; }
    TXmlNode* NextSibling() const { return FNext; }
    TXmlNode* PreviousSibling() const { return FPrevious; }

    // The first child element, or the first one named Name (exact
    // comparison); nullptr when there is none.
    TXmlElement* FirstChildElement() const;
    TXmlElement* FindChildElement(std::string_view Name) const;

    // Appends Child as the last child, taking it out of its old place first.
    // Throws EXmlError when Child belongs to another document, is the
    // document or an ancestor of this node, when this node cannot hold
    // children, or when the document would get text or a second element at
    // its top level.
    template <typename TNode> TNode& AppendChild(TNode& Child) {
        AppendNode(Child);
        return Child;
    }
    void RemoveChild(TXmlNode& Child);
    void RemoveAllChildren();

    // The text of all text nodes below this node, in document order.
    std::string TextContent() const;

protected:
    TXmlNode(TXmlDocument* Owner, TXmlNodeType Type, std::string Name, std::string Value);

private:
    friend class TXmlDocument;
    void AppendNode(TXmlNode& Child);
    void Unlink();

    TXmlDocument* FOwner;
    TXmlNodeType FType;
    std::string FName;
    std::string FValue;
    TXmlNode* FParent = nullptr;
    TXmlNode* FFirstChild = nullptr;
    TXmlNode* FLastChild = nullptr;
    TXmlNode* FNext = nullptr;
    TXmlNode* FPrevious = nullptr;
};

struct TXmlAttribute {
    std::string Name;
    std::string Value;
};

class TXmlElement : public TXmlNode {
public:
    // Attributes in the order they were parsed or first set.
    const std::vector<TXmlAttribute>& Attributes() const { return FAttributes; }
    // The value of the attribute Name, or nullptr when there is none.
    const std::string* GetAttribute(std::string_view Name) const;
    // Sets or adds the attribute; throws EXmlError when Name is not a valid
    // XML name.
    void SetAttribute(const std::string& Name, std::string Value);

private:
    friend class TXmlDocument;
    TXmlElement(TXmlDocument* Owner, std::string Name);

    std::vector<TXmlAttribute> FAttributes;
};

} // namespace psykrona
