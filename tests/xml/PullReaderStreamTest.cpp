// The pull reader streams documents without a document type declaration in
// pieces; whatever falls on a piece's edge, it must give what the document
// model's tree holds, and fail where the model fails, with its words.
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"
#include "xml/XmlNode.h"
#include "xml/XmlParser.h"
#include "xml/XmlPullReader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace psykrona {
namespace {

// One line per event: kind, depth, name or text.
std::vector<std::string> PullEvents(const std::string& Xml) {
    using TEvent = TXmlPullReader::TEvent;
    std::vector<std::string> Events;
    TXmlPullReader Reader(Xml, "x.xml");
    for (TEvent E = Reader.Next(); E != TEvent::End; E = Reader.Next()) {
        const std::string Depth = std::to_string(Reader.Depth());
        if (E == TEvent::StartElement || E == TEvent::EndElement) {
            Events.push_back((E == TEvent::StartElement ? "<" : ">") + Depth + std::string(Reader.Name()));
        } else if (E == TEvent::Text || E == TEvent::Comment) {
            Events.push_back((E == TEvent::Text ? "T" : "C") + Depth + std::string(Reader.Value()));
        } else {
            Events.push_back("O" + Depth + std::string(Reader.Name()));
        }
    }
    return Events;
}

void ModelEvents(const TXmlNode& N, int Depth, std::vector<std::string>& Events) {
    const std::string D = std::to_string(Depth);
    if (N.IsElement()) {
        Events.push_back("<" + D + N.NodeName());
        for (const TXmlNode* C = N.FirstChild(); C; C = C->NextSibling()) {
            ModelEvents(*C, Depth + 1, Events);
        }
        Events.push_back(">" + D + N.NodeName());
    } else if (N.NodeType() == TXmlNodeType::Text || N.NodeType() == TXmlNodeType::Comment) {
        Events.push_back((N.NodeType() == TXmlNodeType::Text ? "T" : "C") + D + N.NodeValue());
    } else {
        Events.push_back("O" + D + N.NodeName());
    }
}

// Texts long enough to run over the pieces the reader parses at a time, in
// runs of character data, references and CDATA sections.
std::string Content(std::mt19937& Rng, int Depth) {
    const auto Pick = [&](int N) { return static_cast<int>(Rng() % static_cast<unsigned>(N)); };
    std::string S;
    for (int I = Pick(6); I >= 0; --I) {
        switch (Pick(Depth < 4 ? 9 : 6)) {
        case 0: S += std::string(static_cast<std::size_t>(Pick(40000)), "ab \n"[Pick(4)]); break;
        case 1: S += "&amp;&#246;&lt;"; break;
        case 2: S += "<![CDATA[" + std::string(static_cast<std::size_t>(Pick(3000)), '<') + "]]>"; break;
        case 3: S += "<!--" + std::string(static_cast<std::size_t>(Pick(3000)), 'k') + "-->"; break;
        case 4: S += "<?pi data?>"; break;
        case 5: S += "<y/>"; break;
        case 6: S += "<p:z xmlns:p=\"urn:p\">" + Content(Rng, Depth + 1) + "</p:z>"; break;
        default: S += "<x>" + Content(Rng, Depth + 1) + "</x>"; break;
        }
    }
    return S;
}

TEST(PullReaderStream, ReadsWhatTheDocumentModelReadsAndFailsAlike) {
    const unsigned Seed = 190003;
    std::mt19937 Rng(Seed);
    for (int Round = 0; Round < 40; ++Round) {
        const std::string Xml = "<?xml version=\"1.0\"?>\n<r>" + Content(Rng, 0) + "</r>\n<!--end-->";
        SCOPED_TRACE("seed " + std::to_string(Seed) + ", round " + std::to_string(Round));
        std::vector<std::string> Expected;
        const auto Doc = TXmlParser::Parse(Xml, "x.xml");
        for (const TXmlNode* N = Doc->FirstChild(); N; N = N->NextSibling()) {
            ModelEvents(*N, 0, Expected);
        }
        ASSERT_EQ(PullEvents(Xml), Expected);

        // Cut short or spoilt anywhere: the model's message, after which
        // nothing is left unread.
        std::string Bad = Xml;
        const std::size_t At = Rng() % Xml.size();
        if (Round % 2 == 0) {
            Bad.resize(At);
        } else {
            Bad[At] = "<&\x01"[Rng() % 3];
        }
        std::string ModelMessage;
        try {
            (void)TXmlParser::Parse(Bad, "x.xml");
        } catch (const EXmlError& E) {
            ModelMessage = std::string(E.what()).substr(7); // the name is quoted differently
        }
        std::string PullMessage;
        try {
            PullEvents(Bad);
        } catch (const EXmlError& E) {
            PullMessage = std::string(E.what()).substr(7);
        }
        EXPECT_EQ(PullMessage, ModelMessage) << "at byte " << At;
    }
}

// Limits the node-building reader has hold in the stream too.
TEST(PullReaderStream, RefusesWhatIsTooDeepOrTooLong) {
    std::string Nested; // one level more than the model allows
    for (int I = 0; I < 300; ++I) {
        Nested += "<a>";
    }
    for (int I = 0; I < 300; ++I) {
        Nested += "</a>";
    }
    const std::string Long = "<r>" + std::string(10'000'001, 'x') + "</r>";
    for (const std::string* Xml : {static_cast<const std::string*>(&Nested), &Long}) {
        std::string Message;
        try {
            PullEvents(*Xml);
        } catch (const EXmlError& E) {
            Message = E.what();
        }
        EXPECT_TRUE(Message.find("nested too deeply") != std::string::npos ||
                    Message.find("text too long") != std::string::npos)
            << Message;
    }
}

} // namespace
} // namespace psykrona
