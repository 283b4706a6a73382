#include "files/MollierFileHandling.h"

#include "engine/Errors.h"
#include "engine/NumberText.h"
#include "files/TextEncoding.h"
#include "localisation/Translator.h"
#include "platform/Platform.h"
#include "xml/FileAccess.h"
#include "xml/XmlParser.h"
#include "xml/XmlError.h"
#include "xml/XmlPullReader.h"
#include "xml/XmlWriter.h"


#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
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

// The bytes of a file as they are written, in one buffer from the system's
// large-buffer allocator: sized once for the longest text the project can
// give, its pages are faulted in huge where the system allows, not one every
// 4 KB, and pages it never fills cost no memory.
class TOutput {
public:
    explicit TOutput(std::size_t Capacity) { Grow(Capacity); }

    TOutput& operator+=(std::string_view Text) {
        if (!Text.empty()) {
            std::memcpy(Room(Text.size()), Text.data(), Text.size());
            FSize += Text.size();
        }
        return *this;
    }
    TOutput& operator+=(char C) {
        *Room(1) = C;
        ++FSize;
        return *this;
    }
    // Room for Count more bytes at the end, which Commit then takes.
    char* Room(std::size_t Count) {
        if (FCapacity - FSize < Count) {
            Grow(std::max(FCapacity * 2, FSize + Count));
        }
        return FData.get() + FSize;
    }
    void Commit(std::size_t Count) { FSize += Count; }
    std::size_t Size() const { return FSize; }
    std::string_view View() const { return {FData.get(), FSize}; }

    std::string Scratch; // an element's escaped text

private:
    void Grow(std::size_t Capacity) {
        TFileBytes::TData Larger(AllocateLargeBuffer(std::max<std::size_t>(Capacity, 1)));
        if (!Larger) {
            throw std::bad_alloc();
        }
        if (FSize > 0) {
            std::memcpy(Larger.get(), FData.get(), FSize);
        }
        FData = std::move(Larger);
        FCapacity = Capacity;
    }

    TFileBytes::TData FData;
    std::size_t FSize = 0;
    std::size_t FCapacity = 0;
};

// An element whose text needs no escaping: digits, a sign, a flag's word.
void AppendPlainElement(TOutput& Out, std::string_view Name, std::string_view Text) {
    Out += '<';
    Out += Name;
    Out += '>';
    Out += Text;
    Out += "</";
    Out += Name;
    Out += '>';
}

void AppendElement(TOutput& Out, std::string_view Name, std::string_view Text) {
    Out.Scratch.clear();
    AppendXmlText(Out.Scratch, Text);
    AppendPlainElement(Out, Name, Out.Scratch);
}

// A number as the file stores it. One whose text the reader would refuse
// (not finite, or past the largest double once rounded to 15 digits, as
// 1.7976931348623157E308 is) fails the save, naming its element, instead of
// making a file that never opens again.
// Point is the point's position, 0 for the flow data.
void AppendNumber(TOutput& Out, int Point, const char* Name, double Value) {
    Out += '<';
    Out += Name;
    Out += '>';
    char* Text = Out.Room(FloatTextMax);
    const std::string_view Written(Text, FloatToChars(Value, Text));
    // Below 1e308 the 15-digit text of a finite value always reads back,
    // written with either separator the reader takes; only the rest is
    // read back to be sure.
    const char Separator = DecimalSeparator();
    bool Readable = std::isfinite(Value);
    if (Readable && (std::fabs(Value) >= 1e308 || (Separator != '.' && Separator != ','))) {
        try {
            Readable = std::isfinite(StrToFloatAnySeparator(Written));
        } catch (const EConvertError&) {
            Readable = false;
        }
    }
    if (!Readable) {
        const std::string Where = Point > 0 ? "point " + std::to_string(Point) + ", " : std::string();
        throw EProjectFileError(Where + "the element '" + Name + "' would hold " + std::string(Written) +
                                ", which is not a number a project file can hold");
    }
    Out.Commit(Written.size());
    Out += "</";
    Out += Name;
    Out += '>';
}

void AppendInteger(TOutput& Out, const char* Name, int Value) {
    std::array<char, 12> Text{};
    const auto [End, Ec] = std::to_chars(Text.data(), Text.data() + Text.size(), Value);
    (void)Ec;
    AppendPlainElement(Out, Name, std::string_view(Text.data(), static_cast<std::size_t>(End - Text.data())));
}

const char* Flag(bool Value) {
    return Value ? "true" : "false";
}

TOutput WriteProject(const TMain& Doc) {
    // Sized once for the longest text the project can give. Per point: the
    // tags, four numbers of at most 23 characters, two integers of 11, the
    // flags; a name's byte grows to at most 5 ("&#60;").
    std::size_t Size = 1024;
    for (const TMollierPoint& P : Doc.Points) {
        Size += 400 + 5 * P.Name.size();
    }
    TOutput Out(Size);
    Out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<psykrona>";
    AppendElement(Out, "version", TMain::GetVersion());
    AppendElement(Out, "compatible", TMollierFileHandling::CompatibleVersion);
    Out += "<project><data>";
    AppendElement(Out, "project-name", TMollierFileHandling::SampleProjectName);
    AppendElement(Out, "date", TMollierFileHandling::SampleDate);
    AppendElement(Out, "signature", TMollierFileHandling::SampleSignature);
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
        AppendInteger(Out, "prescribed1", P.Prescribed1);
        AppendInteger(Out, "prescribed2", P.Prescribed2);
        AppendPlainElement(Out, "show-in-chart", Flag(P.ShowInChart));
        AppendPlainElement(Out, "line-to-next", Flag(P.LineToNext));
        Out += "</point>";
    }
    Out += "</project></psykrona>\r\n";
    return Out;
}

// --- Reading XML ------------------------------------------------------------

// One element of the format as the stream meets it: whether it is there,
// whether anything is inside it, and its first child's text converted the
// moment it arrives, for the reader's text lasts only until its next node.
// The first child is the element's text, or a comment's; any other node
// counts as an empty text. A text that does not convert keeps the reason
// until the element's turn comes, so failures are reported in the order of
// the format, not of the file.
struct TField {
    enum class TKind { Text, Number, Integer, Flag };

    explicit TField(TKind K) : Kind(K) {}

    TKind Kind;
    bool Present = false;
    bool HasContent = false;
    std::string Text;
    double Number = 0;
    int Integer = 0;
    bool Flag = false;
    std::optional<std::string> Error;

    void Take(std::string_view ChildText) {
        HasContent = true;
        try {
            switch (Kind) {
            case TKind::Text: Text.assign(ChildText); break;
            case TKind::Number: Number = StrToFloatAnySeparator(ChildText); break;
            case TKind::Integer: Integer = ToInteger(ChildText); break;
            case TKind::Flag: Flag = ChildText == "true"; break;
            }
        } catch (const EConvertError& E) {
            Error = E.what();
        }
    }
};

// The element's value, or the failure for one that is missing, empty or not
// convertible. Where names it in the message: "point 2, element 'temp'".
template <typename TWhere>
const TField& Checked(const TField& F, const TWhere& Where, const std::string& SourceName) {
    if (!F.Present) {
        Fail(SourceName, Where() + " is missing");
    }
    if (!F.HasContent) {
        Fail(SourceName, Where() + " has no value");
    }
    if (F.Error) {
        Fail(SourceName, Where() + ": " + *F.Error);
    }
    return F;
}

using TKind = TField::TKind;

struct TPointFields {
    TField Name{TKind::Text};
    TField Temp{TKind::Number};
    TField SpecHum{TKind::Number};
    TField RelHum{TKind::Number};
    TField Enthalpy{TKind::Number};
    TField Prescribed1{TKind::Integer};
    TField Prescribed2{TKind::Integer};
    TField ShowInChart{TKind::Flag};
    TField LineToNext{TKind::Flag};

    TField* Find(std::string_view Element) {
        if (Element == "name") return &Name;
        if (Element == "temp") return &Temp;
        if (Element == "spechum") return &SpecHum;
        if (Element == "relhum") return &RelHum;
        if (Element == "enthalpy") return &Enthalpy;
        if (Element == "prescribed1") return &Prescribed1;
        if (Element == "prescribed2") return &Prescribed2;
        if (Element == "show-in-chart") return &ShowInChart;
        if (Element == "line-to-next") return &LineToNext;
        return nullptr;
    }
    void Clear() {
        for (TField* F : {&Name, &Temp, &SpecHum, &RelHum, &Enthalpy, &Prescribed1, &Prescribed2, &ShowInChart,
                          &LineToNext}) {
            F->Present = false;
            F->HasContent = false;
            F->Error.reset();
        }
    }
};

// The header: the elements that must be there, and the flow data.
struct THeaderFields {
    bool Root = false;
    bool Version = false;
    bool Compatible = false;
    bool Project = false;
    bool Data = false;
    bool ProjectName = false;
    bool Date = false;
    bool Signature = false;
    TField AirFlow{TKind::Number};
    TField Density{TKind::Number};
    TField DensityTemp{TKind::Number};
    TField Pressure{TKind::Number};

    TField* FindFlow(std::string_view Element) {
        if (Element == "airflow") return &AirFlow;
        if (Element == "density") return &Density;
        if (Element == "temp") return &DensityTemp;
        if (Element == "barometric-pressure") return &Pressure;
        return nullptr;
    }
};

void Require(bool Present, const char* Name, const std::string& SourceName) {
    if (!Present) {
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

// The bytes of a project file, refusing one larger than any project.
TFileBytes ReadProjectFile(const std::string& FileName) {
    TFileStatus St;
    if (PathStatus(FileName, true, St) == 0 && St.Kind == TFileKind::Regular &&
        St.Size > TMollierFileHandling::MaxFileSize) {
        Fail(FileName, "the file is too large to be a project file (" + std::to_string(St.Size / (1 << 20)) +
                           " MB)");
    }
    try {
        return ReadFileBuffer(FileName, TMollierFileHandling::MaxFileSize);
    } catch (const EXmlFileError& E) {
        if (E.ErrorCode() == EFBIG) {
            Fail(FileName, "the file is too large to be a project file");
        }
        throw EProjectFileError(E.what());
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
    std::optional<TOutput> Bytes;
    try {
        Bytes.emplace(WriteProject(*FProject));
    } catch (const EProjectFileError& E) {
        throw EProjectFileError("'" + FFileName + "' cannot be saved: " + E.what());
    }
    // The reader refuses larger files; the old file stays.
    if (Bytes->Size() > MaxFileSize) {
        throw EProjectFileError("'" + FFileName + "' cannot be saved: the project would take " +
                                std::to_string(Bytes->Size() >> 20) + " MB, more than the " +
                                std::to_string(MaxFileSize >> 20) + " MB a project file may hold");
    }
    try {
        WriteFileAtomically(FFileName, Bytes->View());
    } catch (const EXmlError& E) {
        throw EProjectFileError(E.what());
    }
}

bool TMollierFileHandling::IsOldFormat() const {
    return FFileName.size() >= 4 && FFileName.compare(FFileName.size() - 4, 4, ".pkr") == 0;
}

std::string TMollierFileHandling::ProjectToXml(const TMain& Doc) {
    return std::string(WriteProject(Doc).View());
}

void TMollierFileHandling::OpenProject(const std::string& FileName) {
    if (FProject == nullptr) {
        throw EProjectFileError("There is no project to read into");
    }
    const TFileBytes Bytes = ReadProjectFile(FileName);
    ProjectFromXml(Bytes.View(), *FProject, FileName);
}

void TMollierFileHandling::OpenOldProject(const std::string& FileName) {
    if (FProject == nullptr) {
        throw EProjectFileError("There is no project to read into");
    }
    FFileName = FileName;
    const TFileBytes Bytes = ReadProjectFile(FileName);
    ProjectFromOldFormat(Bytes.View(), *FProject, FileName);
}

void TMollierFileHandling::ProjectFromXml(std::string_view Bytes, TMain& Doc, const std::string& SourceName) {
    using TEvent = TXmlPullReader::TEvent;
    // Which element of interest the stream is in at depths 1 to 3.
    enum class TIn { Other, Project, Data, Point };
    std::array<TIn, 4> In{};
    THeaderFields Header;
    TPointFields Point;
    TField* Awaiting = nullptr; // opened; its first child decides its value
    int AwaitingDepth = 0;
    std::optional<std::string> PointError; // the first point that does not convert

    // The points go straight into Doc as they close; they are taken out
    // again when the file fails before its points count, so header errors
    // come first all the same, and nothing is kept of a file that is not
    // well-formed.
    const int Before = Doc.PointCount();
    auto ClosePoint = [&]() {
        const int Number = Doc.PointCount() - Before + 1;
        auto Field = [&](const char* Name) {
            return [Number, Name]() { return "point " + std::to_string(Number) + ", element '" + Name + "'"; };
        };
        try {
            TMollierPoint P;
            P.Number = Number;
            if (Point.Name.Present && Point.Name.HasContent) {
                P.Name = Point.Name.Text;
            }
            P.Temp = Checked(Point.Temp, Field("temp"), SourceName).Number;
            P.SpecHum = Checked(Point.SpecHum, Field("spechum"), SourceName).Number;
            P.RelHum = Checked(Point.RelHum, Field("relhum"), SourceName).Number;
            P.Enthalpy = Checked(Point.Enthalpy, Field("enthalpy"), SourceName).Number;
            P.Prescribed1 = Checked(Point.Prescribed1, Field("prescribed1"), SourceName).Integer;
            P.Prescribed2 = Checked(Point.Prescribed2, Field("prescribed2"), SourceName).Integer;
            P.ShowInChart = Checked(Point.ShowInChart, Field("show-in-chart"), SourceName).Flag;
            P.LineToNext = Checked(Point.LineToNext, Field("line-to-next"), SourceName).Flag;
            Doc.AddPoint() = std::move(P);
        } catch (const EProjectFileError& E) {
            PointError = E.what();
        }
    };
    auto Await = [&](TField* F, int Depth) {
        if (F != nullptr && !F->Present) {
            F->Present = true;
            Awaiting = F;
            AwaitingDepth = Depth;
        }
    };

    try {
        try {
            TXmlPullReader Reader(Bytes, SourceName);
            for (TEvent Event = Reader.Next(); Event != TEvent::End; Event = Reader.Next()) {
                const int Depth = Reader.Depth();
                if (Awaiting != nullptr) {
                    // The next node is the element's first child, or its end.
                    if (Depth > AwaitingDepth) {
                        Awaiting->Take(Event == TEvent::Text || Event == TEvent::Comment ? Reader.Value()
                                                                                          : std::string_view());
                    }
                    Awaiting = nullptr;
                }
                if (Event == TEvent::StartElement) {
                    const std::string_view Name = Reader.Name();
                    if (Depth == 0) {
                        Header.Root = true;
                    } else if (Depth == 1) {
                        In[1] = TIn::Other;
                        if (Name == "version") {
                            Header.Version = true;
                        } else if (Name == "compatible") {
                            Header.Compatible = true;
                        } else if (Name == "project" && !Header.Project) {
                            Header.Project = true;
                            In[1] = TIn::Project;
                        }
                    } else if (Depth == 2 && In[1] == TIn::Project) {
                        In[2] = TIn::Other;
                        if (Name == "data" && !Header.Data) {
                            Header.Data = true;
                            In[2] = TIn::Data;
                        } else if (Name == "point") {
                            In[2] = TIn::Point;
                            Point.Clear();
                        } else {
                            Await(Header.FindFlow(Name), Depth);
                        }
                    } else if (Depth == 3 && In[1] == TIn::Project && In[2] == TIn::Data) {
                        Header.ProjectName = Header.ProjectName || Name == "project-name";
                        Header.Date = Header.Date || Name == "date";
                        Header.Signature = Header.Signature || Name == "signature";
                    } else if (Depth == 3 && In[1] == TIn::Project && In[2] == TIn::Point) {
                        Await(Point.Find(Name), Depth);
                    }
                } else if (Event == TEvent::EndElement) {
                    if (Depth == 2 && In[1] == TIn::Project && In[2] == TIn::Point && !PointError) {
                        ClosePoint();
                    }
                    if (Depth >= 1 && Depth <= 3) {
                        In[static_cast<std::size_t>(Depth)] = TIn::Other;
                    }
                    if (Depth == 1) {
                        In[2] = TIn::Other;
                    }
                }
            }
        } catch (const EXmlError& E) {
            throw EProjectFileError(E.what());
        }
        if (!Header.Root) {
            Fail(SourceName, "the file holds no XML element");
        }
        Require(Header.Version, "version", SourceName);
        Require(Header.Compatible, "compatible", SourceName);
        Require(Header.Project, "project", SourceName);
        Require(Header.Data, "data", SourceName);
        Require(Header.ProjectName, "project-name", SourceName);
        Require(Header.Date, "date", SourceName);
        Require(Header.Signature, "signature", SourceName);
        auto Element = [](const char* Name) { return [Name]() { return std::string("the element '") + Name + "'"; }; };
        Doc.AirFlow = Checked(Header.AirFlow, Element("airflow"), SourceName).Number;
        Doc.Density = Checked(Header.Density, Element("density"), SourceName).Number;
        Doc.DensityTemp = Checked(Header.DensityTemp, Element("temp"), SourceName).Number;
        Doc.SetPressure(Checked(Header.Pressure, Element("barometric-pressure"), SourceName).Number);
    } catch (...) {
        while (Doc.PointCount() > Before) {
            Doc.DeletePoint(Doc.PointCount());
        }
        throw;
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
