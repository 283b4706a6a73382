// Random project files, written as people and tools write XML, read by the
// streaming project reader to the same project, or fail, as the plain reading
// of the document tree says: each element the first child element of its
// name, each value the text of its first child.
#include "engine/Errors.h"
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "tests/support/RandomProject.h"
#include "xml/DomImplementation.h"
#include "xml/XmlDocument.h"
#include "xml/XmlParser.h"
#include "xml/XmlWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace psykrona {
namespace {

const TXmlElement& Child(const TXmlNode& Parent, const char* Name) {
    const TXmlElement* E = Parent.FindChildElement(Name);
    return E != nullptr ? *E : throw EConvertError(std::string("missing ") + Name);
}

std::string FirstChildText(const TXmlNode& E) {
    const TXmlNode* C = E.FirstChild();
    const bool HasText = C != nullptr && (C->NodeType() == TXmlNodeType::Text || C->NodeType() == TXmlNodeType::Comment);
    return C == nullptr ? throw EConvertError("no value") : HasText ? C->NodeValue() : std::string();
}

int Integer(const std::string& Text) {
    int Value = 0;
    const auto [End, Ec] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    return Text.empty() || Ec != std::errc() || End != Text.data() + Text.size() ? throw EConvertError("no integer")
                                                                                 : Value;
}

// The project the tree holds, or nothing when it holds none.
std::optional<TMain> ReadThroughTree(const std::string& Xml) {
    TDomImplementation Dom;
    TXmlParser Parser(Dom);
    try {
        const TXmlElement& Root = *Parser.ParseBytes(Xml, "oracle").DocumentElement();
        const TXmlElement& Project = Child(Root, "project");
        const TXmlElement& Data = Child(Project, "data");
        for (const auto& [Parent, Name] : {std::pair{&Root, "version"}, {&Root, "compatible"}, {&Data, "date"},
                                           {&Data, "project-name"}, {&Data, "signature"}}) {
            Child(*Parent, Name);
        }
        auto Number = [](const TXmlNode& Parent, const char* Name) { return StrToFloatAnySeparator(FirstChildText(Child(Parent, Name))); };
        TMain Doc;
        std::tie(Doc.AirFlow, Doc.Density, Doc.DensityTemp, Doc.Pressure) = std::tuple{
            Number(Project, "airflow"), Number(Project, "density"), Number(Project, "temp"),
            Number(Project, "barometric-pressure")};
        for (const TXmlNode* N = Project.FirstChild(); N != nullptr; N = N->NextSibling()) {
            if (!N->IsElement() || N->NodeName() != "point") {
                continue;
            }
            TMollierPoint& P = Doc.AddPoint();
            P.Number = Doc.PointCount();
            const TXmlElement* Name = N->FindChildElement("name");
            P.Name = Name != nullptr && Name->FirstChild() != nullptr ? FirstChildText(*Name) : "";
            std::tie(P.Temp, P.SpecHum, P.RelHum, P.Enthalpy) =
                std::tuple{Number(*N, "temp"), Number(*N, "spechum"), Number(*N, "relhum"), Number(*N, "enthalpy")};
            std::tie(P.Prescribed1, P.Prescribed2, P.ShowInChart, P.LineToNext) =
                std::tuple{Integer(FirstChildText(Child(*N, "prescribed1"))), Integer(FirstChildText(Child(*N, "prescribed2"))),
                           FirstChildText(Child(*N, "show-in-chart")) == "true", FirstChildText(Child(*N, "line-to-next")) == "true"};
        }
        return Doc;
    } catch (const std::runtime_error&) { // a value that does not convert, or no XML at all
        return std::nullopt;
    }
}

class TWriter {
public:
    explicit TWriter(unsigned Seed) : FRng(Seed) {}

    bool Chance(double P) { return std::uniform_real_distribution<double>(0, 1)(FRng) < P; }
    int Pick(int N) { return std::uniform_int_distribution<int>(0, N - 1)(FRng); }

    std::string Blank() { return Chance(0.2) ? "\r\n  " : ""; }

    // An element holding Text, written one of many ways that read the same,
    // or now and then one that reads differently or not at all.
    std::string Field(const char* Name, const std::string& Text) {
        const std::string Open = std::string("<") + Name + ">";
        const std::string Close = std::string("</") + Name + ">";
        const std::size_t Cut = Text.empty() ? 0 : static_cast<std::size_t>(Pick(static_cast<int>(Text.size())));
        std::string Whole, Head, Tail;
        AppendXmlText(Whole, Text);
        AppendXmlText(Head, Text.substr(0, Cut));
        AppendXmlText(Tail, Text.substr(Cut));
        std::string Out = Blank();
        switch (Pick(40)) {
        case 0: Out += Open + Head + "<![CDATA[" + Text.substr(Cut) + "]]>" + Close; break;
        case 1: Out += Open + Head + "&e;" + Tail + Close; FUsesEntity = true; break;
        case 2: Out += Open + "<!--" + Text.substr(0, Cut) + "-->" + Whole + Close; break;
        case 3: Out += Open + Close; break;
        case 4: break; // missing
        case 5: Out += Open + "7" + Close + Open + Whole + Close; break;
        case 6: Out += Open + Whole + "x" + Close; break;
        case 7: Out += Open + "<i>" + Whole + "</i>" + Close; break;
        case 8:
            Out += Open + Head;
            for (const char C : Text.substr(Cut)) {
                Out += "&#" + std::to_string(static_cast<unsigned char>(C)) + ";";
            }
            Out += Close;
            break;
        default: Out += Open + Whole + Close;
        }
        return Out;
    }

    std::string Number() {
        std::uniform_real_distribution<double> Value(-50, 150);
        std::string Text = FloatToStr(Chance(0.1) ? std::ldexp(Value(FRng), Pick(200) - 100) : Value(FRng));
        std::replace(Text.begin(), Text.end(), '.', Chance(0.3) ? ',' : '.'); // the other separator, or blanks around
        return Chance(0.1) ? " " + Text + "\n" : Text;
    }

    // The parts in any order, and now and then elements the reader must pass
    // over: unknown ones, and a point that is no point of the project.
    std::string AnyOrder(std::vector<std::string> Parts) {
        for (const auto& [P, Extra] : {std::pair{0.2, "<extra>ignored</extra>"},
                                       {0.1, "<note><point><temp>1</temp></point></note>"}}) {
            if (Chance(P)) {
                Parts.push_back(Extra);
            }
        }
        if (Chance(0.5)) {
            std::shuffle(Parts.begin(), Parts.end(), FRng);
        }
        return std::accumulate(Parts.begin(), Parts.end(), std::string());
    }

    std::string Project() {
        std::string Points;
        for (int I = Pick(6); I > 0; --I) {
            Points += Blank() + "<point>" +
                      AnyOrder({Field("name", std::array{"Room", "A&B", "<x>", "\"q\" 'r'", "é ü", "", "  "}[Pick(7)]), Field("temp", Number()), Field("spechum", Number()),
                                Field("relhum", Number()), Field("enthalpy", Number()),
                                Field("prescribed1", std::to_string(Pick(5))),
                                Field("prescribed2", std::to_string(Pick(5) - (Chance(0.1) ? 9 : 0))),
                                Field("show-in-chart", Chance(0.5) ? "true" : "TRUE"),
                                Field("line-to-next", Chance(0.5) ? "true" : "false")}) +
                      "</point>";
            Points += Chance(0.1) ? "<!-- between -->" : "";
        }
        const std::string Body =
            "<project>" + Blank() +
            AnyOrder({"<data>" + AnyOrder({Field("project-name", "P"), Field("date", "1"), Field("signature", "S")}) +
                          "</data>",
                      Field("airflow", Number()), Field("density", Number()), Field("temp", Number()),
                      Field("barometric-pressure", Number()), Points}) +
            "</project>";
        const std::string Xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" +
                                std::string(FUsesEntity || Chance(0.1) ? "<!DOCTYPE psykrona [<!ENTITY e \"\">]>" : "");
        return Xml + "<psykrona>" + AnyOrder({Field("version", "2.1b"), Field("compatible", "2.0"), Body}) +
               "</psykrona>\r\n";
    }

private:
    std::mt19937 FRng;
    bool FUsesEntity = false;
};

TEST(ProjectReaderOracle, StreamingReaderReadsWhatTheDocumentTreeHolds) {
    SetDecimalSeparator('.');
    int Read = 0, Refused = 0;
    for (unsigned Seed = 1; Seed <= 3000; ++Seed) {
        const std::string Xml = TWriter(Seed).Project();
        const std::optional<TMain> Expected = ReadThroughTree(Xml);
        TMain Doc;
        std::string Failure;
        try {
            TMollierFileHandling::ProjectFromXml(Xml, Doc, "random.pkx");
        } catch (const EProjectFileError& E) {
            Failure = E.what();
        }
        ASSERT_EQ(Expected.has_value(), Failure.empty()) << "seed " << Seed << ": " << Failure << "\n" << Xml;
        ++(Expected ? Read : Refused);
        ASSERT_EQ(Expected ? test::ProjectSummary(*Expected) : "", Expected ? test::ProjectSummary(Doc) : "")
            << "seed " << Seed << "\n" << Xml;
    }
    EXPECT_GT(Read, 200); // both kinds met often enough to mean something
    EXPECT_GT(Refused, 300);
}

} // namespace
} // namespace psykrona
