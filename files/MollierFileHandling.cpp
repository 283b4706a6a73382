#include "files/MollierFileHandling.h"

#include "engine/Errors.h"
#include "engine/NumberText.h"
#include "files/TextEncoding.h"
#include "localisation/Translator.h"
#include "xml/FileAccess.h"
#include "xml/XmlParser.h"
#include "xml/XmlError.h"
#include "xml/XmlPullReader.h"
#include "xml/XmlWriter.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace psykrona {

namespace {

[[noreturn]] void Fail(const std::string& SourceName, const std::string& Why) {
    throw EProjectFileError("'" + SourceName + "' cannot be read: " + Why);
}

// "'%s' is not a valid integer value" unless Text is a 32-bit decimal
// integer, blanks around it allowed.
int ToInteger(std::string_view Text) {
    std::string_view S = Text;
    while (!S.empty() && (S.front() == ' ' || S.front() == '\t')) {
        S.remove_prefix(1);
    }
    while (!S.empty() && (S.back() == ' ' || S.back() == '\t')) {
        S.remove_suffix(1);
    }
    if (!S.empty() && S.front() == '+') {
        S.remove_prefix(1);
    }
    int Value = 0;
    const auto [End, Ec] = std::from_chars(S.data(), S.data() + S.size(), Value);
    if (S.empty() || Ec != std::errc() || End != S.data() + S.size()) {
        throw EConvertError("'" + std::string(Text) + "' is not a valid integer value");
    }
    return Value;
}

// --- Writing -------------------------------------------------------------

void AppendElement(std::string& Out, std::string_view Name, std::string_view Text) {
    Out += '<';
    Out += Name;
    Out += '>';
    AppendXmlText(Out, Text);
    Out += "</";
    Out += Name;
    Out += '>';
}

// A number as the file stores it. One whose text the reader would refuse
// (not finite, or past the largest double once rounded to 15 digits, as
// 1.7976931348623157E308 is) fails the save, naming its element, instead of
// making a file that never opens again.
// Point is the point's position, 0 for the flow data.
void AppendNumber(std::string& Out, int Point, const char* Name, double Value) {
    const std::string Text = FloatToStr(Value);
    bool Readable = std::isfinite(Value);
    try {
        Readable = Readable && std::isfinite(StrToFloatAnySeparator(Text));
    } catch (const EConvertError&) {
        Readable = false;
    }
    if (!Readable) {
        const std::string Where = Point > 0 ? "point " + std::to_string(Point) + ", " : std::string();
        throw EProjectFileError(Where + "the element '" + Name + "' would hold " + Text +
                                ", which is not a number a project file can hold");
    }
    AppendElement(Out, Name, Text);
}

const char* Flag(bool Value) {
    return Value ? "true" : "false";
}

// --- Reading XML ------------------------------------------------------------

// An element found while streaming and the first node inside it: its text
// for character data or a comment, empty for anything else.
struct TFound {
    bool Present = false;
    bool HasContent = false;
    std::string FirstChild;
};

// Which element of interest the stream is in at each depth.
enum class TIn { Other, Project, Data, Point };

const std::array<const char*, 9> KPointFields = {"name",        "temp",          "spechum",
                                                 "relhum",      "enthalpy",      "prescribed1",
                                                 "prescribed2", "show-in-chart", "line-to-next"};
const std::array<const char*, 4> KFlowFields = {"airflow", "density", "temp", "barometric-pressure"};

struct TReadState {
    TFound Version, Compatible, Project, Data, ProjectName, Date, Signature;
    std::array<TFound, 4> Flow;
    std::array<TFound, 9> Point;
    TFound* Capture = nullptr; // awaiting its first child
    int CaptureDepth = 0;
};

double ToNumber(const TFound& F, const std::string& Where, const std::string& SourceName) {
    if (!F.Present) {
        Fail(SourceName, Where + " is missing");
    }
    if (!F.HasContent) {
        Fail(SourceName, Where + " has no value");
    }
    try {
        return StrToFloatAnySeparator(F.FirstChild);
    } catch (const EConvertError& E) {
        Fail(SourceName, Where + ": " + E.what());
    }
}

int ToCode(const TFound& F, const std::string& Where, const std::string& SourceName) {
    if (!F.Present) {
        Fail(SourceName, Where + " is missing");
    }
    if (!F.HasContent) {
        Fail(SourceName, Where + " has no value");
    }
    try {
        return ToInteger(F.FirstChild);
    } catch (const EConvertError& E) {
        Fail(SourceName, Where + ": " + E.what());
    }
}

bool ToFlag(const TFound& F, const std::string& Where, const std::string& SourceName) {
    if (!F.Present) {
        Fail(SourceName, Where + " is missing");
    }
    if (!F.HasContent) {
        Fail(SourceName, Where + " has no value");
    }
    return F.FirstChild == "true";
}

void Require(const TFound& F, const char* Name, const std::string& SourceName) {
    if (!F.Present) {
        Fail(SourceName, std::string("the element '") + Name + "' is missing");
    }
}

// --- Older line-based files ----------------------------------------------------

// Lines end with CR LF, LF or CR; reading past the last line gives empty
// lines, which fail to convert like any other bad line.
class TLineReader {
public:
    explicit TLineReader(std::string_view Bytes) : FRest(Bytes) {}

    std::string_view Next() {
        ++FLine;
        const std::size_t End = FRest.find_first_of("\r\n");
        std::string_view Line = FRest.substr(0, End);
        if (End == std::string_view::npos) {
            FRest = {};
        } else {
            const bool CrLf = FRest[End] == '\r' && End + 1 < FRest.size() && FRest[End + 1] == '\n';
            FRest.remove_prefix(End + (CrLf ? 2 : 1));
        }
        return Line;
    }
    int LineNumber() const { return FLine; }

    static std::size_t CountLines(std::string_view Bytes) {
        TLineReader R(Bytes);
        std::size_t Count = 0;
        while (!R.FRest.empty()) {
            R.Next();
            ++Count;
        }
        return Count;
    }

private:
    std::string_view FRest;
    int FLine = 0;
};

// The integer at the start of a line, as a Pascal-style read takes it: blanks
// first, then the number up to a blank or the end; the rest is skipped.
int LeadingInteger(std::string_view Line) {
    std::size_t Start = Line.find_first_not_of(" \t");
    if (Start == std::string_view::npos) {
        Start = Line.size();
    }
    std::size_t End = Line.find_first_of(" \t", Start);
    if (End == std::string_view::npos) {
        End = Line.size();
    }
    const std::string_view Token = Line.substr(Start, End - Start);
    try {
        return ToInteger(Token);
    } catch (const EConvertError&) {
        throw EConvertError("'" + std::string(Line) + "' is not a valid integer value");
    }
}

} // namespace

TMollierFileHandling::TMollierFileHandling(TDomImplementation& DomImpl, TXmlParser& Parser)
    : FDomImpl(&DomImpl), FXMLParser(&Parser) {
    FXMLParser->SetDomImpl(FDomImpl);
}

// The new name is taken only once the file is written: after a failure the
// project still belongs to the file it came from, which the window's title
// goes on naming, and Save must not write elsewhere.
void TMollierFileHandling::SaveProjectAs(const std::string& FileName) {
    const std::string Previous = FFileName;
    FFileName = FileName;
    try {
        SaveProject();
    } catch (...) {
        FFileName = Previous;
        throw;
    }
}

void TMollierFileHandling::SaveProject() {
    if (FProject == nullptr) {
        throw EProjectFileError("There is no project to save");
    }
    std::string Bytes;
    try {
        Bytes = ProjectToXml(*FProject);
    } catch (const EProjectFileError& E) {
        throw EProjectFileError("'" + FFileName + "' cannot be saved: " + E.what());
    }
    // The reader refuses larger files; the old file stays.
    if (Bytes.size() > MaxFileSize) {
        throw EProjectFileError("'" + FFileName + "' cannot be saved: the project would take " +
                                std::to_string(Bytes.size() >> 20) + " MB, more than the " +
                                std::to_string(MaxFileSize >> 20) + " MB a project file may hold");
    }
    try {
        WriteFileAtomically(FFileName, Bytes);
    } catch (const EXmlError& E) {
        throw EProjectFileError(E.what());
    }
}

bool TMollierFileHandling::IsOldFormat() const {
    return FFileName.size() >= 4 && FFileName.compare(FFileName.size() - 4, 4, ".pkr") == 0;
}

std::string TMollierFileHandling::ProjectToXml(const TMain& Doc) {
    std::string Out;
    Out.reserve(600 + static_cast<std::size_t>(Doc.PointCount()) * 320);
    Out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<psykrona>";
    AppendElement(Out, "version", TMain::GetVersion());
    AppendElement(Out, "compatible", CompatibleVersion);
    Out += "<project><data>";
    AppendElement(Out, "project-name", SampleProjectName);
    AppendElement(Out, "date", SampleDate);
    AppendElement(Out, "signature", SampleSignature);
    Out += "</data>";
    AppendNumber(Out, 0, "airflow", Doc.AirFlow);
    AppendNumber(Out, 0, "density", Doc.Density);
    AppendNumber(Out, 0, "temp", Doc.DensityTemp);
    AppendNumber(Out, 0, "barometric-pressure", Doc.Pressure);
    int Where = 0;
    for (const TMollierPoint& P : Doc.Points) {
        ++Where;
        Out += "<point>";
        AppendElement(Out, "name", P.Name);
        AppendNumber(Out, Where, "temp", P.Temp);
        AppendNumber(Out, Where, "spechum", P.SpecHum);
        AppendNumber(Out, Where, "relhum", P.RelHum);
        AppendNumber(Out, Where, "enthalpy", P.Enthalpy);
        AppendElement(Out, "prescribed1", std::to_string(P.Prescribed1));
        AppendElement(Out, "prescribed2", std::to_string(P.Prescribed2));
        AppendElement(Out, "show-in-chart", Flag(P.ShowInChart));
        AppendElement(Out, "line-to-next", Flag(P.LineToNext));
        Out += "</point>";
    }
    Out += "</project></psykrona>\r\n";
    return Out;
}

std::string TMollierFileHandling::ReadProjectFile(const std::string& FileName) const {
    struct stat St {};
    if (stat(FileName.c_str(), &St) == 0 && S_ISREG(St.st_mode) &&
        static_cast<std::uintmax_t>(St.st_size) > MaxFileSize) {
        Fail(FileName, "the file is too large to be a project file (" +
                           std::to_string(St.st_size / (1 << 20)) + " MB)");
    }
    try {
        return ReadFileBytes(FileName, MaxFileSize);
    } catch (const EXmlFileError& E) {
        if (E.ErrorCode() == EFBIG) {
            Fail(FileName, "the file is too large to be a project file");
        }
        throw EProjectFileError(E.what());
    }
}

void TMollierFileHandling::OpenProject(const std::string& FileName) {
    if (FProject == nullptr) {
        throw EProjectFileError("There is no project to read into");
    }
    const std::string Bytes = ReadProjectFile(FileName);
    ProjectFromXml(Bytes, *FProject, FileName);
}

void TMollierFileHandling::OpenOldProject(const std::string& FileName) {
    if (FProject == nullptr) {
        throw EProjectFileError("There is no project to read into");
    }
    FFileName = FileName;
    const std::string Bytes = ReadProjectFile(FileName);
    ProjectFromOldFormat(Bytes, *FProject, FileName);
}

void TMollierFileHandling::ProjectFromXml(std::string_view Bytes, TMain& Doc, const std::string& SourceName) {
    TReadState S;
    std::vector<TMollierPoint> Points;
    std::optional<std::string> PointError; // the first point that does not convert
    std::array<TIn, 4> Context{};          // what the element at depths 1..3 is
    bool SeenRoot = false;

    // The points are converted as they close; header errors are reported
    // first all the same, and nothing is reported before the whole file is
    // known to be well-formed.
    auto ClosePoint = [&]() {
        const std::string Where = "point " + std::to_string(Points.size() + 1) + ", element '";
        try {
            TMollierPoint P;
            P.Number = static_cast<int>(Points.size()) + 1;
            const TFound& Name = S.Point[0];
            P.Name = Name.Present && Name.HasContent ? Name.FirstChild : std::string();
            P.Temp = ToNumber(S.Point[1], Where + "temp'", SourceName);
            P.SpecHum = ToNumber(S.Point[2], Where + "spechum'", SourceName);
            P.RelHum = ToNumber(S.Point[3], Where + "relhum'", SourceName);
            P.Enthalpy = ToNumber(S.Point[4], Where + "enthalpy'", SourceName);
            P.Prescribed1 = ToCode(S.Point[5], Where + "prescribed1'", SourceName);
            P.Prescribed2 = ToCode(S.Point[6], Where + "prescribed2'", SourceName);
            P.ShowInChart = ToFlag(S.Point[7], Where + "show-in-chart'", SourceName);
            P.LineToNext = ToFlag(S.Point[8], Where + "line-to-next'", SourceName);
            Points.push_back(std::move(P));
        } catch (const EProjectFileError& E) {
            PointError = E.what();
        }
    };

    try {
        TXmlPullReader Reader(Bytes, SourceName);
        for (;;) {
            const TXmlPullReader::TEvent Event = Reader.Next();
            if (Event == TXmlPullReader::TEvent::End) {
                break;
            }
            const int Depth = Reader.Depth();
            if (S.Capture != nullptr) {
                if (Event == TXmlPullReader::TEvent::EndElement && Depth == S.CaptureDepth - 1) {
                    S.Capture = nullptr; // closed without any child
                } else if (Depth == S.CaptureDepth) {
                    S.Capture->HasContent = true;
                    if (Event == TXmlPullReader::TEvent::Text || Event == TXmlPullReader::TEvent::Comment) {
                        S.Capture->FirstChild = Reader.Value();
                    }
                    S.Capture = nullptr;
                }
            }
            auto Capture = [&](TFound& F) {
                F.Present = true;
                S.Capture = &F;
                S.CaptureDepth = Depth + 1;
            };
            if (Event == TXmlPullReader::TEvent::StartElement) {
                const std::string_view Name = Reader.Name();
                if (Depth == 0) {
                    SeenRoot = true;
                } else if (Depth == 1) {
                    Context[1] = TIn::Other;
                    if (Name == "version" && !S.Version.Present) {
                        S.Version.Present = true;
                    } else if (Name == "compatible" && !S.Compatible.Present) {
                        S.Compatible.Present = true;
                    } else if (Name == "project" && !S.Project.Present) {
                        S.Project.Present = true;
                        Context[1] = TIn::Project;
                    }
                } else if (Depth == 2 && Context[1] == TIn::Project) {
                    Context[2] = TIn::Other;
                    if (Name == "data" && !S.Data.Present) {
                        S.Data.Present = true;
                        Context[2] = TIn::Data;
                    } else if (Name == "point") {
                        Context[2] = TIn::Point;
                        S.Point = {};
                    } else {
                        for (std::size_t I = 0; I < KFlowFields.size(); ++I) {
                            if (Name == KFlowFields[I] && !S.Flow[I].Present) {
                                Capture(S.Flow[I]);
                            }
                        }
                    }
                } else if (Depth == 3 && Context[1] == TIn::Project && Context[2] == TIn::Data) {
                    if (Name == "project-name") {
                        S.ProjectName.Present = true;
                    } else if (Name == "date") {
                        S.Date.Present = true;
                    } else if (Name == "signature") {
                        S.Signature.Present = true;
                    }
                } else if (Depth == 3 && Context[1] == TIn::Project && Context[2] == TIn::Point) {
                    for (std::size_t I = 0; I < KPointFields.size(); ++I) {
                        if (Name == KPointFields[I] && !S.Point[I].Present) {
                            Capture(S.Point[I]);
                        }
                    }
                }
            } else if (Event == TXmlPullReader::TEvent::EndElement) {
                if (Depth == 2 && Context[1] == TIn::Project && Context[2] == TIn::Point && !PointError) {
                    ClosePoint();
                }
                if (Depth >= 1 && Depth <= 3) {
                    Context[static_cast<std::size_t>(Depth)] = TIn::Other;
                }
                if (Depth == 1) {
                    Context[2] = TIn::Other;
                }
            }
        }
    } catch (const EXmlError& E) {
        throw EProjectFileError(E.what());
    }
    if (!SeenRoot) {
        Fail(SourceName, "the file holds no XML element");
    }
    Require(S.Version, "version", SourceName);
    Require(S.Compatible, "compatible", SourceName);
    Require(S.Project, "project", SourceName);
    Require(S.Data, "data", SourceName);
    Require(S.ProjectName, "project-name", SourceName);
    Require(S.Date, "date", SourceName);
    Require(S.Signature, "signature", SourceName);
    Doc.AirFlow = ToNumber(S.Flow[0], "the element 'airflow'", SourceName);
    Doc.Density = ToNumber(S.Flow[1], "the element 'density'", SourceName);
    Doc.DensityTemp = ToNumber(S.Flow[2], "the element 'temp'", SourceName);
    Doc.SetPressure(ToNumber(S.Flow[3], "the element 'barometric-pressure'", SourceName));
    for (TMollierPoint& P : Points) {
        Doc.AddPoint() = std::move(P);
    }
    if (PointError) {
        throw EProjectFileError(*PointError);
    }
}

void TMollierFileHandling::ProjectFromOldFormat(std::string_view Bytes, TMain& Doc,
                                                const std::string& SourceName) {
    // An editor's byte-order mark would otherwise spoil the point count.
    if (Bytes.starts_with("\xEF\xBB\xBF")) {
        Bytes.remove_prefix(3);
    }
    // Names that are not UTF-8 were saved in the code page of the user's
    // language.
    const TCodePage CodePage = CodePageOfLanguage(TTranslator::GetLanguageCode());
    TLineReader Lines(Bytes);
    auto Where = [&]() { return "line " + std::to_string(Lines.LineNumber()); };
    auto Number = [&]() {
        const std::string_view Line = Lines.Next();
        try {
            return StrToFloatAnySeparator(Line);
        } catch (const EConvertError& E) {
            Fail(SourceName, Where() + ": " + E.what());
        }
    };
    auto Integer = [&]() {
        const std::string_view Line = Lines.Next();
        try {
            return LeadingInteger(Line);
        } catch (const EConvertError& E) {
            Fail(SourceName, Where() + ": " + E.what());
        }
    };
    const int Count = Integer();
    if (Count < 0) {
        Fail(SourceName, "line 1: the number of points " + std::to_string(Count) + " is negative");
    }
    // Every point takes ten lines: a count the file cannot hold fails here,
    // before anything is allocated for it.
    const std::size_t Needed = 5 + 10 * static_cast<std::size_t>(Count);
    const std::size_t Available = TLineReader::CountLines(Bytes);
    if (Count > 0 && Available < Needed) {
        Fail(SourceName, "the file has " + std::to_string(Available) + " lines where " +
                             std::to_string(Count) + " points need " + std::to_string(Needed));
    }
    Doc.AirFlow = Number();
    Doc.DensityTemp = Number();
    Doc.SetPressure(Number());
    Doc.Density = Number();
    // Each point is appended once its lines have been read: a file whose
    // lines are there but blank fails without first allocating every point
    // it claims.
    for (int I = 0; I < Count; ++I) {
        TMollierPoint P;
        P.Number = Integer();
        const std::string_view Name = Lines.Next();
        P.Name = Name == "Nada" ? std::string() : EightBitLineToUtf8(Name, CodePage);
        P.Temp = Number();
        P.SpecHum = Number();
        P.RelHum = Number();
        P.Enthalpy = Number();
        P.Prescribed1 = Integer();
        P.Prescribed2 = Integer();
        P.ShowInChart = Lines.Next() == "1";
        P.LineToNext = Lines.Next() == "1";
        Doc.AddPoint() = std::move(P);
    }
}

} // namespace psykrona
