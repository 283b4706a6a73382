// The streaming project reader against the document model: random project
// files, written the way people and other tools write XML (indentation,
// comments, CDATA sections, character and entity references, either
// separator, fields in any order, among unknown ones, twice, empty or
// missing, numbers that do not convert), must read to the same project, or
// fail, exactly as the plain reading of the document tree says: every element
// the first child element of its name, every value the text of the element's
// first child.
#include "engine/Errors.h"
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "tests/support/RandomProject.h"
#include "xml/DomImplementation.h"
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"
#include "xml/XmlParser.h"
#include "xml/XmlWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace psykrona {
namespace {

// --- The oracle: the tree the document model reads --------------------------

const TXmlElement& Child(const TXmlNode& Parent, const char* Name) {
    const TXmlElement* E = Parent.FindChildElement(Name);
    if (E == nullptr) {
        throw EConvertError(std::string("missing ") + Name);
    }
    return *E;
}

std::string FirstChildText(const TXmlNode& E) {
    const TXmlNode* C = E.FirstChild();
    if (C == nullptr) {
        throw EConvertError("no value");
    }
    return C->NodeType() == TXmlNodeType::Text || C->NodeType() == TXmlNodeType::Comment ? C->NodeValue()
                                                                                          : std::string();
}

int Integer(const std::string& Text) {
    int Value = 0;
    const auto [End, Ec] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    if (Text.empty() || Ec != std::errc() || End != Text.data() + Text.size()) {
        throw EConvertError("not an integer");
    }
    return Value;
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
        auto Number = [](const TXmlNode& Parent, const char* Name) {
            return StrToFloatAnySeparator(FirstChildText(Child(Parent, Name)));
        };
        TMain Doc;
        Doc.AirFlow = Number(Project, "airflow");
        Doc.Density = Number(Project, "density");
        Doc.DensityTemp = Number(Project, "temp");
        Doc.Pressure = Number(Project, "barometric-pressure");
        for (const TXmlNode* N = Project.FirstChild(); N != nullptr; N = N->NextSibling()) {
            if (!N->IsElement() || N->NodeName() != "point") {
                continue;
            }
            TMollierPoint& P = Doc.AddPoint();
            P.Number = Doc.PointCount();
            const TXmlElement* Name = N->FindChildElement("name");
            P.Name = Name != nullptr && Name->FirstChild() != nullptr ? FirstChildText(*Name) : "";
            P.Temp = Number(*N, "temp");
            P.SpecHum = Number(*N, "spechum");
            P.RelHum = Number(*N, "relhum");
            P.Enthalpy = Number(*N, "enthalpy");
            P.Prescribed1 = Integer(FirstChildText(Child(*N, "prescribed1")));
            P.Prescribed2 = Integer(FirstChildText(Child(*N, "prescribed2")));
            P.ShowInChart = FirstChildText(Child(*N, "show-in-chart")) == "true";
            P.LineToNext = FirstChildText(Child(*N, "line-to-next")) == "true";
        }
        return Doc;
    } catch (const EConvertError&) {
        return std::nullopt;
    } catch (const EXmlError&) {
        return std::nullopt;
    }
}

// --- Random files ---------------------------------------------------------------

class TWriter {
public:
    explicit TWriter(unsigned Seed) : FRng(Seed) {}

    bool Chance(double P) { return std::uniform_real_distribution<double>(0, 1)(FRng) < P; }
    int Pick(int N) { return std::uniform_int_distribution<int>(0, N - 1)(FRng); }

    std::string Blank() { return Chance(0.2) ? "\r\n  " : ""; }

    // An element holding Text, written one of many ways that read the same,
    // or now and then one that reads differently or not at all.
    std::string Field(const char* Name, const std::string& Text) {
        std::string Escaped;
        AppendXmlText(Escaped, Text);
        const std::string Open = std::string("<") + Name + ">";
        const std::string Close = std::string("</") + Name + ">";
        const std::size_t Cut = Text.empty() ? 0 : static_cast<std::size_t>(Pick(static_cast<int>(Text.size())));
        std::string Head;
        AppendXmlText(Head, Text.substr(0, Cut));
        std::string Tail;
        AppendXmlText(Tail, Text.substr(Cut));
        std::string Out = Blank();
        switch (Pick(40)) {
        case 0: Out += Open + Head + "<![CDATA[" + Text.substr(Cut) + "]]>" + Close; break;
        case 1: Out += Open + Head + "&e;" + Tail + Close; FUsesEntity = true; break;
        case 2: Out += Open + "<!--" + Text.substr(0, Cut) + "-->" + Escaped + Close; break;
        case 3: Out += Open + Close; break;
        case 4: break; // missing
        case 5: Out += Open + "7" + Close + Open + Escaped + Close; break;
        case 6: Out += Open + Escaped + "x" + Close; break;
        case 7: Out += Open + "<i>" + Escaped + "</i>" + Close; break;
        case 8:
            Out += Open + Head;
            for (const char C : Text.substr(Cut)) {
                Out += "&#" + std::to_string(static_cast<unsigned char>(C)) + ";";
            }
            Out += Close;
            break;
        default: Out += Open + Escaped + Close;
        }
        return Out;
    }

    std::string Number() {
        std::uniform_real_distribution<double> Value(-50, 150);
        std::string Text = FloatToStr(Chance(0.1) ? std::ldexp(Value(FRng), Pick(200) - 100) : Value(FRng));
        if (Chance(0.3)) { // the other separator, or blanks around
            std::replace(Text.begin(), Text.end(), '.', ',');
        }
        return Chance(0.1) ? " " + Text + "\n" : Text;
    }

    // The parts in any order, and now and then elements the reader must pass
    // over: unknown ones, and a point that is no point of the project.
    std::string AnyOrder(std::vector<std::string> Parts) {
        if (Chance(0.2)) {
            Parts.push_back("<extra>ignored</extra>");
        }
        if (Chance(0.1)) {
            Parts.push_back("<note><point><temp>1</temp></point></note>");
        }
        if (Chance(0.5)) {
            std::shuffle(Parts.begin(), Parts.end(), FRng);
        }
        std::string Out;
        for (const std::string& P : Parts) {
            Out += P;
        }
        return Out;
    }

    std::string Project() {
        std::string Points;
        const char* Names[] = {"Room", "A&B", "<x>", "\"q\" 'r'", "é ü", "", "  "};
        for (int I = Pick(6); I > 0; --I) {
            Points += Blank() + "<point>" +
                      AnyOrder({Field("name", Names[Pick(7)]), Field("temp", Number()), Field("spechum", Number()),
                                Field("relhum", Number()), Field("enthalpy", Number()),
                                Field("prescribed1", std::to_string(Pick(5))),
                                Field("prescribed2", std::to_string(Pick(5) - (Chance(0.1) ? 9 : 0))),
                                Field("show-in-chart", Chance(0.5) ? "true" : "TRUE"),
                                Field("line-to-next", Chance(0.5) ? "true" : "false")}) +
                      "</point>";
            if (Chance(0.1)) {
                Points += "<!-- between -->";
            }
        }
        const std::string Body =
            "<project>" + Blank() +
            AnyOrder({"<data>" + AnyOrder({Field("project-name", "P"), Field("date", "1"), Field("signature", "S")}) +
                          "</data>",
                      Field("airflow", Number()), Field("density", Number()), Field("temp", Number()),
                      Field("barometric-pressure", Number()), Points}) +
            "</project>";
        std::string Xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
        if (FUsesEntity || Chance(0.1)) {
            Xml += "<!DOCTYPE psykrona [<!ENTITY e \"\">]>";
        }
        return Xml + "<psykrona>" + AnyOrder({Field("version", "2.1b"), Field("compatible", "2.0"), Body}) +
               "</psykrona>\r\n";
    }

private:
    std::mt19937 FRng;
    bool FUsesEntity = false;
};

TEST(ProjectReaderOracle, StreamingReaderReadsWhatTheDocumentTreeHolds) {
    SetDecimalSeparator('.');
    int Read = 0;
    int Refused = 0;
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
        if (!Expected) {
            ++Refused;
            continue;
        }
        ++Read;
        ASSERT_EQ(test::ProjectSummary(Doc), test::ProjectSummary(*Expected)) << "seed " << Seed << "\n" << Xml;
    }
    // Both kinds of file were met often enough to mean something.
    EXPECT_GT(Read, 200);
    EXPECT_GT(Refused, 300);
}

} // namespace
} // namespace psykrona
