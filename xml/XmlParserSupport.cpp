#include "xml/XmlParserSupport.h"

#include "xml/XmlError.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>

#include <cstdint>
#include <mutex>
#include <string>

namespace psykrona {

namespace {

xmlParserInputPtr RefuseExternalEntity(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

// The bytes as a sequence of code units: one, two or four bytes each, as
// the byte-order mark or the first character "<" shows. Markup characters
// are ASCII in every encoding libxml2 reads, so they are found unit by unit.
class TUnits {
public:
    explicit TUnits(std::string_view Bytes) : FBytes(Bytes) {
        const auto B = [&](std::size_t I) { return I < Bytes.size() ? static_cast<unsigned char>(Bytes[I]) : 256; };
        if (B(0) == 0 && B(1) == 0 && ((B(2) == 0xFE && B(3) == 0xFF) || (B(2) == 0 && B(3) == '<'))) {
            FWidth = 4;
            FBigEndian = true;
        } else if ((B(0) == 0xFF && B(1) == 0xFE && B(2) == 0 && B(3) == 0) ||
                   (B(0) == '<' && B(1) == 0 && B(2) == 0 && B(3) == 0)) {
            FWidth = 4;
        } else if ((B(0) == 0xFE && B(1) == 0xFF) || (B(0) == 0 && B(1) == '<')) {
            FWidth = 2;
            FBigEndian = true;
        } else if ((B(0) == 0xFF && B(1) == 0xFE) || (B(0) == '<' && B(1) == 0)) {
            FWidth = 2;
        }
        FCount = Bytes.size() / FWidth;
    }
    std::size_t Count() const { return FCount; }
    bool Wide() const { return FWidth > 1; }
    // Where Pattern next starts at or after From, for one-byte units only.
    std::size_t Find(std::string_view Pattern, std::size_t From) const {
        const std::size_t At = FBytes.find(Pattern, From);
        return At == std::string_view::npos ? FCount : At;
    }
    std::string_view Bytes(std::size_t Begin, std::size_t End) const {
        return FBytes.substr(Begin * FWidth, (End - Begin) * FWidth);
    }
    const char* WideEncoding() const {
        if (FWidth == 1) {
            return nullptr;
        }
        if (FWidth == 2) {
            return FBigEndian ? "UTF-16BE" : "UTF-16LE";
        }
        return FBigEndian ? "UTF-32BE" : "UTF-32LE";
    }
    std::uint32_t operator[](std::size_t I) const {
        if (I >= FCount) {
            return 0xFFFFFFFF;
        }
        if (FWidth == 1) {
            return static_cast<unsigned char>(FBytes[I]);
        }
        std::uint32_t U = 0;
        for (std::size_t K = 0; K < FWidth; ++K) {
            const std::size_t At = I * FWidth + (FBigEndian ? K : FWidth - 1 - K);
            U = (U << 8) | static_cast<unsigned char>(FBytes[At]);
        }
        return U;
    }

private:
    std::string_view FBytes;
    std::size_t FWidth = 1;
    bool FBigEndian = false;
    std::size_t FCount = 0;
};

bool IsBlank(std::uint32_t U) {
    return U == ' ' || U == '\t' || U == '\n' || U == '\r' || U == 0xFEFF || U == 0xFFFE;
}

// Walks the units once, counting lines the way libxml2 does (LF, CR LF and
// CR each end one).
class TScanner {
public:
    TScanner(std::string_view Bytes, bool PrologOnly) : U(Bytes), FPrologOnly(PrologOnly) {}

    TXmlScan Run() {
        TXmlScan Result;
        std::size_t FirstBytes = 0; // the first units of a UTF-8 text: a byte-order mark is blank
        if (!U.Wide() && U[0] == 0xEF && U[1] == 0xBB && U[2] == 0xBF) {
            FirstBytes = 3;
        }
        Result.Blank = true;
        for (std::size_t K = FirstBytes; K < U.Count() && Result.Blank; ++K) {
            Result.Blank = IsBlank(U[K]);
        }
        // A text file holds no NUL and almost no other control character;
        // the start of the file is enough to tell.
        for (std::size_t K = 0; K < U.Count() && K < 4096 && !Result.Binary; ++K) {
            const std::uint32_t C = U[K];
            Result.Binary = C == 0 || (C < 0x20 && C != '\t' && C != '\n' && C != '\r');
        }
        I = FirstBytes;
        int Depth = 0;
        bool SeenRoot = false;
        bool TextOutside = false;
        bool Inside = false; // the bytes end inside markup
        while (I < U.Count() && !Inside) {
            if (U[I] != '<') {
                if (!U.Wide()) {
                    // Text runs to the next "<" at memchr's speed.
                    const std::size_t Next = U.Find("<", I);
                    for (std::size_t K = I; Depth == 0 && !TextOutside && K < Next; ++K) {
                        TextOutside = !IsBlank(U[K]);
                    }
                    AdvanceTo(Next);
                    continue;
                }
                TextOutside = TextOutside || (Depth == 0 && !IsBlank(U[I]));
                Step();
                continue;
            }
            if (At("<!--")) {
                Inside = !SkipPast("-->");
            } else if (At("<![CDATA[")) {
                Inside = !SkipPast("]]>");
            } else if (At("<?")) {
                Inside = !SkipPast("?>");
            } else if (At("<!")) {
                const std::size_t Begin = I;
                Inside = !SkipDeclaration();
                if (!Inside && !SeenRoot && Result.DocType.empty()) {
                    Result.DocType = U.Bytes(Begin, I);
                }
            } else if (At("</")) {
                Inside = !SkipPast(">");
                --Depth;
            } else {
                const int Line = FLine;
                bool Empty = false;
                const std::size_t Attributes = SkipStartTag(Inside, Empty);
                if (Attributes > Result.MostAttributes) {
                    Result.MostAttributes = Attributes;
                    if (Attributes > MaxXmlAttributes && Result.MostAttributesLine == 0) {
                        Result.MostAttributesLine = Line;
                        break; // refused: the rest is of no interest
                    }
                }
                SeenRoot = true;
                Depth += Empty ? 0 : 1;
                if (FPrologOnly) {
                    break;
                }
            }
        }
        Result.Unfinished = Inside || Depth > 0 || (!SeenRoot && !TextOutside);
        Result.Lines = FLine;
        Result.WideEncoding = U.WideEncoding();
        return Result;
    }

private:
    void Step() {
        const std::uint32_t C = U[I];
        if (C == '\n' || (C == '\r' && U[I + 1] != '\n')) {
            ++FLine;
        }
        ++I;
    }
    bool At(const char* Pattern) const {
        for (std::size_t K = 0; Pattern[K]; ++K) {
            if (U[I + K] != static_cast<unsigned char>(Pattern[K])) {
                return false;
            }
        }
        return true;
    }
    void AdvanceTo(std::size_t To) {
        if (!U.Wide()) {
            // Bytes straight from the text, without a unit's width to look at.
            const std::string_view Run = U.Bytes(I, To);
            for (std::size_t K = 0; K < Run.size(); ++K) {
                FLine += Run[K] == '\n' || (Run[K] == '\r' && U[I + K + 1] != '\n');
            }
            I = To;
            return;
        }
        while (I < To) {
            Step();
        }
    }
    // Moves past the next Pattern; false when the bytes end first.
    bool SkipPast(const char* Pattern) {
        if (!U.Wide()) {
            const std::size_t At = U.Find(Pattern, I);
            AdvanceTo(At == U.Count() ? At : At + std::char_traits<char>::length(Pattern));
            return At != U.Count();
        }
        while (I < U.Count()) {
            if (At(Pattern)) {
                for (std::size_t K = 0; Pattern[K]; ++K) {
                    Step();
                }
                return true;
            }
            Step();
        }
        return false;
    }
    // A quoted literal starting at I; false when the bytes end inside it.
    bool SkipQuoted() {
        const std::uint32_t Quote = U[I];
        Step();
        while (I < U.Count() && U[I] != Quote) {
            Step();
        }
        if (I >= U.Count()) {
            return false;
        }
        Step();
        return true;
    }
    // "<!DOCTYPE ...>" with its internal subset, whose literals, comments and
    // processing instructions may hold ">".
    bool SkipDeclaration() {
        int Brackets = 0;
        Step();
        Step();
        while (I < U.Count()) {
            const std::uint32_t C = U[I];
            bool Done = true;
            if (C == '"' || C == '\'') {
                Done = SkipQuoted();
            } else if (Brackets > 0 && At("<!--")) {
                Done = SkipPast("-->");
            } else if (Brackets > 0 && At("<?")) {
                Done = SkipPast("?>");
            } else if (C == '[') {
                ++Brackets;
                Step();
            } else if (C == ']') {
                --Brackets;
                Step();
            } else if (C == '>' && Brackets <= 0) {
                Step();
                return true;
            } else {
                Step();
            }
            if (!Done) {
                return false;
            }
        }
        return false;
    }
    // A start tag from "<" to ">"; gives the number of its attributes, one
    // "=" outside the quoted values each.
    std::size_t SkipStartTag(bool& Inside, bool& Empty) {
        std::size_t Count = 0;
        std::uint32_t Previous = 0;
        Step();
        while (I < U.Count()) {
            const std::uint32_t C = U[I];
            if (C == '"' || C == '\'') {
                if (!SkipQuoted()) {
                    break;
                }
                Previous = C;
                continue;
            }
            if (C == '>') {
                Empty = Previous == '/';
                Step();
                return Count;
            }
            if (C == '=' && ++Count > MaxXmlAttributes) {
                return Count;
            }
            Previous = C;
            Step();
        }
        Inside = true;
        return Count;
    }

    TUnits U;
    bool FPrologOnly;
    std::size_t I = 0;
    int FLine = 1;
};

std::string Trimmed(std::string S) {
    while (!S.empty() && (S.back() == '\n' || S.back() == ' ')) {
        S.pop_back();
    }
    return S;
}

} // namespace

void InitXmlLibrary() {
    static std::once_flag Once;
    std::call_once(Once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(RefuseExternalEntity);
    });
}

TXmlScan ScanXml(std::string_view Bytes, bool PrologOnly) {
    return TScanner(Bytes, PrologOnly).Run();
}

void CheckXmlScan(const TXmlScan& Scan, const std::string& Name) {
    if (Scan.MostAttributes > MaxXmlAttributes) {
        throw EXmlError(Name + " holds an element with more than " + std::to_string(MaxXmlAttributes) +
                        " attributes (line " + std::to_string(Scan.MostAttributesLine) + ")");
    }
}

bool TXmlFault::LimitHit() const {
    // libxml2's limits on depth and size, by its own wording: "Excessive
    // depth in document", "huge text node", "Huge input lookup", "AttValue
    // length too long", "Comment too big found", ...
    return Message.starts_with("Excessive depth") || Message.find("uge ") != std::string::npos ||
           Message.find("too long") != std::string::npos || Message.find("too big") != std::string::npos;
}

void RecordXmlFault(TXmlFault& First, const void* ErrorData) {
    const auto* Error = static_cast<const xmlError*>(ErrorData);
    // The first fatal error is the one that stopped the parse; earlier
    // recoverable ones only stand in for it when there is none.
    if (!Error || Error->level < XML_ERR_ERROR || Error->level <= First.Level || !Error->message) {
        return;
    }
    First.Code = Error->code;
    First.Level = Error->level;
    First.Line = Error->line;
    First.Message = Trimmed(Error->message);
}

std::string DescribeXmlFault(const TXmlScan& Scan, const TXmlFault& Fault, const std::string& Name) {
    const std::string Line = std::to_string(Fault.Line);
    if (Scan.Blank) {
        return Name + " is empty";
    }
    if (Scan.Binary) {
        return Name + " is not a text file (it holds binary data)";
    }
    if (Fault.Message.starts_with("Excessive depth")) {
        return Name + " holds an element nested too deeply (more than " + std::to_string(xmlParserMaxDepth) +
               " levels) at line " + Line;
    }
    if (Fault.LimitHit()) {
        return Name + " holds a text too long (more than " + std::to_string(XML_MAX_TEXT_LENGTH / 1000000) +
               " million characters) at line " + Line;
    }
    // The fault at the last line of bytes that stop inside the document: the
    // file was cut short, whatever libxml2 found missing there.
    if (Scan.Unfinished && Fault.Line >= Scan.Lines) {
        return Name + " ends before the document is complete (line " + Line + ")";
    }
    if (Fault.Code == XML_ERR_DOCUMENT_EMPTY) {
        return Name + " holds no XML element (line " + Line + ": the text does not begin with \"<\")";
    }
    std::string Message = Name + " is not well-formed XML";
    if (!Fault.Message.empty()) {
        Message += " (line " + Line + ": " + Fault.Message + ")";
    }
    return Message;
}

} // namespace psykrona
