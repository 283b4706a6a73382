// The pull reader against the document model over random documents, with
// internal entities (replaced, the text around them joined) or streamed in
// pieces: both give the same nodes, and fail alike with the same words.
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
        const char Kind = E == TEvent::StartElement ? '<' : E == TEvent::EndElement ? '>'
                          : E == TEvent::Text ? 'T' : E == TEvent::Comment ? 'C' : 'O';
        Events.push_back(Kind + std::to_string(Reader.Depth()) +
                         std::string(Kind == 'T' || Kind == 'C' ? Reader.Value() : Reader.Name()));
    }
    return Events;
}

void ModelEvents(const TXmlNode& N, int Depth, std::vector<std::string>& Events) {
    const TXmlNodeType Type = N.NodeType();
    const char Kind = N.IsElement() ? '<' : Type == TXmlNodeType::Text ? 'T' : Type == TXmlNodeType::Comment ? 'C' : 'O';
    Events.push_back(Kind + std::to_string(Depth) + (Kind == 'T' || Kind == 'C' ? N.NodeValue() : N.NodeName()));
    for (const TXmlNode* C = N.FirstChild(); C; C = C->NextSibling()) {
        ModelEvents(*C, Depth + 1, Events);
    }
    if (N.IsElement()) {
        Events.push_back(">" + std::to_string(Depth) + N.NodeName());
    }
}

// Runs of character data, references, CDATA sections, comments, processing
// instructions and nested elements; Long makes them long enough to run over
// the pieces the reader parses at a time; Refs entities may be referred to.
std::string Content(std::mt19937& Rng, bool Long, int Refs, int Depth) {
    const auto Pick = [&](int N) { return static_cast<std::size_t>(Rng() % static_cast<unsigned>(N)); };
    std::string S;
    for (auto I = Pick(6); I != std::size_t(-1); --I) {
        switch (Pick(Depth < 3 ? 10 : 7)) {
        case 0: S += std::string(Long ? Pick(40000) : 1 + Pick(4), " ab\n"[Pick(4)]); break;
        case 1: S += "&amp;&#246;&lt;"; break;
        case 2: S += "<![CDATA[" + std::string(Long ? Pick(3000) : 1, '<') + "]]>"; break;
        case 3: S += "<!--" + std::string(Long ? Pick(3000) : 1, 'k') + "-->"; break;
        case 4: S += Long ? "<?pi data?>" : "<y/>"; break;
        case 5: S += "<y/>"; break;
        case 6: S += Refs > 0 ? "&e" + std::to_string(Pick(Refs)) + ";" : ""; break;
        case 7: S += "<p:z xmlns:p=\"urn:p\">" + Content(Rng, Long, Refs, Depth + 1) + "</p:z>"; break;
        default: S += "<x>" + Content(Rng, Long, Refs, Depth + 1) + "</x>"; break;
        }
    }
    return S;
}

std::string Message(const std::string& Xml, bool Pull) {
    try {
        Pull ? (void)PullEvents(Xml) : (void)TXmlParser::Parse(Xml, "x.xml");
    } catch (const EXmlError& E) {
        return std::string(E.what()).substr(7); // the file name is quoted differently
    }
    return "";
}

TEST(PullReaderStream, ReadsWhatTheDocumentModelReadsAndFailsAlike) {
    const unsigned Seed = 190003;
    std::mt19937 Rng(Seed);
    for (int Round = 0; Round < 300; ++Round) {
        SCOPED_TRACE("seed " + std::to_string(Seed) + ", round " + std::to_string(Round));
        const bool Long = Round % 4 == 0;
        const bool Dtd = Round % 2 == 1;
        std::string Xml = "<?xml version=\"1.0\"?>\n";
        int Entities = 0;
        if (Dtd) {
            Xml += "<!DOCTYPE r [";
            Entities = static_cast<int>(Rng() % 4);
            for (int E = 0; E < Entities; ++E) {
                Xml += "<!ENTITY e" + std::to_string(E) + " '" + Content(Rng, false, E, 1) + "'>";
            }
            Xml += "]>";
        }
        Xml += "<r a='&amp;b'>" + Content(Rng, Long, Entities, 0) + "</r>\n<!--end-->";
        const auto Doc = TXmlParser::Parse(Xml, "x.xml");
        std::vector<std::string> Expected(Dtd ? 1 : 0, "O0r"); // the document type, which the model's tree does not keep
        for (const TXmlNode* N = Doc->FirstChild(); N; N = N->NextSibling()) {
            ModelEvents(*N, 0, Expected);
        }
        ASSERT_EQ(PullEvents(Xml), Expected) << Xml.substr(0, 2000);

        if (!Long) {
            continue;
        }
        // Streamed and cut short or spoilt anywhere: the model's message,
        // after which nothing is left unread.
        std::string Bad = Xml;
        const std::size_t At = Rng() % Xml.size();
        if (Round % 8 == 0) {
            Bad.resize(At);
        } else {
            Bad[At] = "<&\x01"[Rng() % 3];
        }
        const std::string Got = Message(Bad, true);
        const std::string Model = Message(Bad, false);
        EXPECT_EQ(Got, Model) << "at byte " << At << "\n" << Bad.substr(0, 2000);
    }
}

} // namespace
} // namespace psykrona
