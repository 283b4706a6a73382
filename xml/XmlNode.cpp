#include "xml/XmlNode.h"

#include "xml/XmlDocument.h"
#include "xml/XmlError.h"
#include "xml/XmlName.h"

#include <utility>

namespace psykrona {

TXmlNode::TXmlNode(TXmlDocument* Owner, TXmlNodeType Type, std::string Name, std::string Value)
    : FOwner(Owner), FType(Type), FName(std::move(Name)), FValue(std::move(Value)) {}

TXmlElement* TXmlNode::FirstChildElement() const {
    for (TXmlNode* N = FFirstChild; N; N = N->FNext) {
        if (N->IsElement()) {
            return static_cast<TXmlElement*>(N);
        }
    }
    return nullptr;
}

TXmlElement* TXmlNode::FindChildElement(std::string_view Name) const {
    for (TXmlNode* N = FFirstChild; N; N = N->FNext) {
        if (N->IsElement() && N->FName == Name) {
            return static_cast<TXmlElement*>(N);
        }
    }
    return nullptr;
}

void TXmlNode::AppendNode(TXmlNode& Child) {
    if (Child.FOwner != FOwner) {
        throw EXmlError("The node \"" + Child.FName + "\" belongs to another document");
    }
    if (FType != TXmlNodeType::Element && FType != TXmlNodeType::Document) {
        throw EXmlError("A node \"" + FName + "\" cannot hold children");
    }
    // Only a node with children can be an ancestor of another; sparing the
    // walk up for the others keeps building deep trees linear.
    for (const TXmlNode* A = this; A; A = Child.FFirstChild ? A->FParent : nullptr) {
        if (A == &Child) {
            throw EXmlError("The node \"" + Child.FName +
                            "\" cannot become a child of itself or of its own descendant");
        }
    }
    if (FType == TXmlNodeType::Document) {
        if (Child.FType == TXmlNodeType::Text) {
            throw EXmlError("A document cannot hold text outside its root element");
        }
        const TXmlElement* Root = FirstChildElement();
        if (Child.IsElement() && Root && Root != &Child) {
            throw EXmlError("A document cannot hold a second root element \"" + Child.FName + "\"");
        }
    }
    Child.Unlink();
    Child.FParent = this;
    Child.FPrevious = FLastChild;
    if (FLastChild) {
        FLastChild->FNext = &Child;
    } else {
        FFirstChild = &Child;
    }
    FLastChild = &Child;
}

void TXmlNode::Unlink() {
    if (!FParent) {
        return;
    }
    (FPrevious ? FPrevious->FNext : FParent->FFirstChild) = FNext;
    (FNext ? FNext->FPrevious : FParent->FLastChild) = FPrevious;
    FParent = nullptr;
    FPrevious = nullptr;
    FNext = nullptr;
}

void TXmlNode::RemoveChild(TXmlNode& Child) {
    if (Child.FParent != this) {
        throw EXmlError("The node \"" + Child.FName + "\" is not a child of \"" + FName + "\"");
    }
    Child.Unlink();
}

void TXmlNode::RemoveAllChildren() {
    while (FFirstChild) {
        FFirstChild->Unlink();
    }
}

std::string TXmlNode::TextContent() const {
    if (FType == TXmlNodeType::Text) {
        return FValue;
    }
    // Iterative, so a deep tree cannot exhaust the stack.
    std::string Result;
    const TXmlNode* N = FFirstChild;
    while (N) {
        if (N->FType == TXmlNodeType::Text) {
            Result += N->FValue;
        }
        if (N->FFirstChild) {
            N = N->FFirstChild;
            continue;
        }
        while (N != this && !N->FNext) {
            N = N->FParent;
        }
        N = N == this ? nullptr : N->FNext;
    }
    return Result;
}

TXmlElement::TXmlElement(TXmlDocument* Owner, std::string Name)
    : TXmlNode(Owner, TXmlNodeType::Element, std::move(Name), {}) {}

const std::string* TXmlElement::GetAttribute(std::string_view Name) const {
    for (const TXmlAttribute& A : FAttributes) {
        if (A.Name == Name) {
            return &A.Value;
        }
    }
    return nullptr;
}

void TXmlElement::SetAttribute(const std::string& Name, std::string Value) {
    if (!IsXmlName(Name)) {
        throw EXmlError("\"" + Name + "\" is not a valid XML name");
    }
    for (TXmlAttribute& A : FAttributes) {
        if (A.Name == Name) {
            A.Value = std::move(Value);
            return;
        }
    }
    FAttributes.push_back({Name, std::move(Value)});
}

} // namespace psykrona
