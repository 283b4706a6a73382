// The byte rules of written documents (see XmlDocument.h).
#include "xml/XmlWriter.h"

#include "xml/XmlDocument.h"

#include "xml/XmlName.h"

namespace psykrona {

namespace {

enum class TContext { Text, Attribute, Markup };

// Appends Text to Out as UTF-8 fit for the given place: characters that XML
// cannot hold are left out, invalid UTF-8 becomes U+FFFD so the output stays
// readable, and in text and attribute values the five special characters
// become character references. In attribute values tab, CR and LF become
// references too, since a reader would turn them into spaces.
void AppendEscaped(std::string& Out, std::string_view Text, TContext Context) {
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
        const std::size_t Start = Pos;
        const long C = DecodeUtf8(Text, Pos);
        if (C < 0) {
            Out += "\xEF\xBF\xBD";
            continue;
        }
        if (C == 0xFFFE || C == 0xFFFF) {
            continue;
        }
        if (C >= 0x80) {
            Out.append(Text.substr(Start, Pos - Start));
            continue;
        }
        const bool Escape = Context != TContext::Markup;
        switch (C) {
        case '<': Out += Escape ? "&#60;" : "<"; break;
        case '>': Out += Escape ? "&#62;" : ">"; break;
        case '&': Out += Escape ? "&#38;" : "&"; break;
        case '\'': Out += Escape ? "&#39;" : "'"; break;
        case '"': Out += Escape ? "&#34;" : "\""; break;
        case '\n': Out += Context == TContext::Attribute ? "&#10;" : "\r\n"; break;
        case '\r': Out += Context == TContext::Attribute ? "&#13;" : "\r"; break;
        case '\t': Out += Context == TContext::Attribute ? "&#9;" : "\t"; break;
        default:
            if (C >= 0x20) {
                Out += static_cast<char>(C);
            }
        }
    }
}

// Comments and processing instructions have no references; leaving out
// characters can bring two dashes or "?" and ">" together, which a blank
// between them keeps apart.
void AppendMarkupText(std::string& Out, std::string_view Text, TContext Context, std::string_view Forbidden) {
    std::string Clean;
    AppendEscaped(Clean, Text, Context);
    char Previous = '\0';
    for (const char C : Clean) {
        if (Previous == Forbidden[0] && C == Forbidden[1]) {
            Out += ' ';
        }
        Out += C;
        Previous = C;
    }
}

void AppendStartTag(std::string& Out, const TXmlElement& E) {
    Out += '<';
    Out += E.NodeName();
    for (const TXmlAttribute& A : E.Attributes()) {
        Out += ' ';
        Out += A.Name;
        Out += "=\"";
        AppendEscaped(Out, A.Value, TContext::Attribute);
        Out += '"';
    }
    Out += '>';
}

void AppendEndTag(std::string& Out, const TXmlNode& E) {
    Out += "</";
    Out += E.NodeName();
    Out += '>';
}

void AppendLeaf(std::string& Out, const TXmlNode& N) {
    switch (N.NodeType()) {
    case TXmlNodeType::Text: AppendEscaped(Out, N.NodeValue(), TContext::Text); break;
    case TXmlNodeType::Comment: {
        Out += "<!--";
        const std::size_t Body = Out.size();
        AppendMarkupText(Out, N.NodeValue(), TContext::Markup, "--");
        if (Out.size() > Body && Out.back() == '-') {
            Out += ' ';
        }
        Out += "-->";
        break;
    }
    case TXmlNodeType::ProcessingInstruction:
        Out += "<?";
        Out += N.NodeName();
        if (!N.NodeValue().empty()) {
            Out += ' ';
            AppendMarkupText(Out, N.NodeValue(), TContext::Markup, "?>");
        }
        Out += "?>";
        break;
    default: break;
    }
}

// Writes Top and everything below it without recursion: a tree built by a
// program may be deeper than any stack.
void AppendSubtree(std::string& Out, const TXmlNode& Top) {
    const TXmlNode* N = &Top;
    for (;;) {
        if (N->IsElement()) {
            AppendStartTag(Out, static_cast<const TXmlElement&>(*N));
            if (N->FirstChild()) {
                N = N->FirstChild();
                continue;
            }
            AppendEndTag(Out, *N);
        } else {
            AppendLeaf(Out, *N);
        }
        while (N != &Top && !N->NextSibling()) {
            N = N->ParentNode();
            AppendEndTag(Out, *N);
        }
        if (N == &Top) {
            return;
        }
        N = N->NextSibling();
    }
}

// Kept as parsed; only its line ends follow the rule for every line feed.
void AppendDocType(std::string& Out, std::string_view DocType) {
    for (const char C : DocType) {
        if (C == '\n') {
            Out += '\r';
        }
        Out += C;
    }
    Out += "\r\n";
}

} // namespace

std::string TXmlDocument::WriteToString() const {
    std::string Out = "<?xml version=\"" + FXmlVersion + R"(" encoding="UTF-8")";
    if (FStandalone) {
        Out += *FStandalone ? " standalone=\"yes\"" : " standalone=\"no\"";
    }
    Out += "?>\r\n";
    std::size_t Position = 0;
    bool DocTypeDue = !FDocType.empty();
    for (const TXmlNode* N = FirstChild(); N; N = N->NextSibling(), ++Position) {
        if (DocTypeDue && (Position == FDocTypePosition || N->IsElement())) {
            AppendDocType(Out, FDocType);
            DocTypeDue = false;
        }
        AppendSubtree(Out, *N);
        Out += "\r\n";
    }
    return Out;
}

void AppendXmlText(std::string& Out, std::string_view Text) {
    // Printable ASCII other than the five special characters stays as it
    // is: the text up to the first other byte is taken whole.
    std::size_t Plain = 0;
    while (Plain < Text.size()) {
        const char C = Text[Plain];
        if (C < 0x20 || C > 0x7E || C == '<' || C == '>' || C == '&' || C == '\'' || C == '"') {
            break;
        }
        ++Plain;
    }
    Out.append(Text.substr(0, Plain));
    AppendEscaped(Out, Text.substr(Plain), TContext::Text);
}

} // namespace psykrona
