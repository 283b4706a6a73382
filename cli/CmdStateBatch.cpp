// psykrona-cli state --batch: logged data or a year of weather hours through
// the calculator. Input and output are streamed through two fixed buffers, so
// memory stays the same for any number of rows, and every number is read with
// from_chars and written with to_chars: no locale, no stdio, no allocation
// per row.
#include "cli/CmdStateBatch.h"

#include "cli/CliCommand.h"
#include "cli/CliOutput.h"

#include "engine/Errors.h"
#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace psykrona {
namespace {

// Both buffers are large enough that a pipe moves whole chunks; a row may be
// at most half the input buffer long.
constexpr std::size_t InputSize = 1 << 20;
constexpr std::size_t OutputSize = 1 << 20;
constexpr std::size_t MaxRowOut = 512; // one output row, with room to spare
constexpr int MaxColumns = 3;
constexpr int COLUMN_PRESSURE = -1;

std::string_view Trimmed(std::string_view S) {
    while (!S.empty() && (S.front() == ' ' || S.front() == '\t')) {
        S.remove_prefix(1);
    }
    while (!S.empty() && (S.back() == ' ' || S.back() == '\t' || S.back() == '\r')) {
        S.remove_suffix(1);
    }
    return S;
}

// The header names the input's columns with the option names.
struct TLayout {
    int Columns[MaxColumns] = {};
    int Count = 0;
    int Codes[2] = {PROP_NONE, PROP_NONE};
    bool HasPressure = false;
};

TLayout ReadHeader(std::string_view Line) {
    TLayout L;
    int Given = 0;
    std::size_t Start = 0;
    while (true) {
        const std::size_t Comma = Line.find(',', Start);
        const std::string_view Name = Trimmed(Line.substr(Start, Comma - Start));
        int Code;
        if (Name == "temp") {
            Code = PROP_TEMP;
        } else if (Name == "relhum") {
            Code = PROP_RELHUM;
        } else if (Name == "spechum") {
            Code = PROP_SPECHUM;
        } else if (Name == "enthalpy") {
            Code = PROP_ENTHALPY;
        } else if (Name == "pressure") {
            Code = COLUMN_PRESSURE;
        } else {
            throw EUsageError("header: unknown column '" + Echoed(Name) +
                              "' (use two of temp, relhum, spechum, enthalpy and optionally pressure)");
        }
        for (int I = 0; I < L.Count; ++I) {
            if (L.Columns[I] == Code) {
                throw EUsageError("header: column '" + std::string(Name) + "' is given twice");
            }
        }
        if (L.Count == MaxColumns) {
            throw EUsageError("header: more than three columns");
        }
        L.Columns[L.Count++] = Code;
        if (Code == COLUMN_PRESSURE) {
            L.HasPressure = true;
        } else if (Given < 2) {
            L.Codes[Given++] = Code;
        } else {
            ++Given;
        }
        if (Comma == std::string_view::npos) {
            break;
        }
        Start = Comma + 1;
    }
    if (Given != 2) {
        throw EUsageError("header: name exactly two of temp, relhum, spechum and enthalpy (" +
                          std::to_string(Given) + " given)");
    }
    return L;
}

class TOutput {
public:
    TOutput() : FBuf(OutputSize) {}
    // Room for one more row, writing out what is there when it is short.
    char* Reserve() {
        if (FUsed + MaxRowOut > FBuf.size()) {
            Flush();
        }
        return FBuf.data() + FUsed;
    }
    void Commit(char* End) { FUsed = static_cast<std::size_t>(End - FBuf.data()); }
    void Flush() {
        WriteAll(1, std::string_view(FBuf.data(), FUsed), "standard output");
        FUsed = 0;
    }

private:
    std::vector<char> FBuf;
    std::size_t FUsed = 0;
};

char* PutNumber(char* Out, double Value) {
    if (!std::isfinite(Value)) {
        const std::string Text = ShortestText(Value);
        std::memcpy(Out, Text.data(), Text.size());
        return Out + Text.size();
    }
    return std::to_chars(Out, Out + 32, Value).ptr;
}

char* PutRowNumber(char* Out, unsigned long long Row) {
    return std::to_chars(Out, Out + 24, Row).ptr;
}

double ReadNumber(std::string_view Cell) {
    Cell = Trimmed(Cell);
    double V = 0;
    const auto [End, Ec] = std::from_chars(Cell.data(), Cell.data() + Cell.size(), V);
    if (Ec != std::errc() || End != Cell.data() + Cell.size() || Cell.empty() || !std::isfinite(V)) {
        throw EConvertError("'" + Echoed(Cell) + "' is not a valid number");
    }
    return V;
}

class TBatch {
public:
    TBatch(const TLayout& Layout, double Pressure) : FLayout(Layout), FPressure(Pressure) {}

    // Solves one data row and appends its output row; throws with the
    // reason when the row has no result.
    void Row(std::string_view Line, unsigned long long Number, TOutput& Out) {
        double Values[MaxColumns];
        std::size_t Start = 0;
        for (int I = 0; I < FLayout.Count; ++I) {
            const std::size_t Comma = Line.find(',', Start);
            if ((Comma == std::string_view::npos) != (I == FLayout.Count - 1)) {
                throw EUsageError("expected " + std::to_string(FLayout.Count) + " values");
            }
            Values[I] = ReadNumber(Line.substr(Start, Comma - Start));
            Start = Comma + 1;
        }
        TMoistAirState S;
        double Pressure = FPressure;
        for (int I = 0; I < FLayout.Count; ++I) {
            switch (FLayout.Columns[I]) {
            case PROP_TEMP: S.Temp = Values[I]; break;
            case PROP_SPECHUM: S.SpecHum = Values[I] / 1000; break; // g/kg, as the option
            case PROP_RELHUM: S.RelHum = Values[I]; break;
            case PROP_ENTHALPY: S.Enthalpy = Values[I]; break;
            default: Pressure = Values[I]; break;
            }
        }
        if (!(Pressure > 0)) {
            throw EUsageError("the pressure must be above 0 kPa");
        }
        TMollierCalculate& Calc = TMollierCalculate::GetInstance();
        Calc.Pressure = Pressure;
        Calc.SolveFromPair(FLayout.Codes[0], FLayout.Codes[1], S);

        char* P = Out.Reserve();
        P = PutRowNumber(P, Number);
        *P++ = ',';
        P = PutNumber(P, Pressure);
        *P++ = ',';
        P = PutNumber(P, S.Temp);
        *P++ = ',';
        P = PutNumber(P, S.RelHum);
        *P++ = ',';
        P = PutNumber(P, S.SpecHum * 1000);
        *P++ = ',';
        P = PutNumber(P, S.Enthalpy);
        *P++ = '\r';
        *P++ = '\n';
        Out.Commit(P);

        // Shown, then refused, as the single state command does.
        if (S.RelHum > 100) {
            throw EUsageError("The relative humidity must not be above 100%");
        }
        if (S.SpecHum < 0) {
            throw EUsageError("The humidity ratio must not be below 0 g/kg");
        }
    }

private:
    TLayout FLayout;
    double FPressure;
};

// Reads standard input a buffer at a time and hands out its lines; a line
// longer than half the buffer is cut into pieces, each marked as too long.
class TLines {
public:
    TLines() : FBuf(InputSize) {}

    // The next line without its line break; false at the end of the input.
    bool Next(std::string_view& Line, bool& TooLong) {
        TooLong = false;
        while (true) {
            const char* Begin = FBuf.data() + FPos;
            const void* Nl = std::memchr(Begin, '\n', FEnd - FPos);
            if (Nl != nullptr) {
                const auto Len = static_cast<std::size_t>(static_cast<const char*>(Nl) - Begin);
                Line = std::string_view(Begin, Len);
                FPos += Len + 1;
                TooLong = FSkipping || Len > InputSize / 2;
                FSkipping = false;
                return true;
            }
            if (FEof) {
                if (FPos == FEnd) {
                    return false;
                }
                Line = std::string_view(Begin, FEnd - FPos);
                FPos = FEnd;
                TooLong = FSkipping || Line.size() > InputSize / 2;
                FSkipping = false;
                return true;
            }
            if (FEnd - FPos > InputSize / 2) {
                FSkipping = true; // the rest of this row is dropped up to its end
                FPos = FEnd;
            }
            std::memmove(FBuf.data(), FBuf.data() + FPos, FEnd - FPos);
            FEnd -= FPos;
            FPos = 0;
            const ssize_t N = read(0, FBuf.data() + FEnd, FBuf.size() - FEnd);
            if (N < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throw std::runtime_error(std::string("cannot read standard input: ") + std::strerror(errno));
            }
            if (N == 0) {
                FEof = true;
            }
            FEnd += static_cast<std::size_t>(N);
        }
    }

private:
    std::vector<char> FBuf;
    std::size_t FPos = 0, FEnd = 0;
    bool FEof = false;
    bool FSkipping = false;
};

} // namespace

int RunStateBatch(const std::vector<std::string>& Args) {
    const TCliArgs A(Args, {"--pressure"}, {"--batch"});
    if (!A.Positional().empty()) {
        throw EUsageError("unexpected argument '" + Echoed(A.Positional().front()) + "'");
    }
    const double Pressure = A.Has("--pressure") ? A.Number("--pressure") : TMollierCalculate::DefaultPressure;
    if (!(Pressure > 0) || !std::isfinite(Pressure)) {
        throw EUsageError("--pressure must be a barometric pressure above 0 kPa, not '" +
                          Echoed(A.Value("--pressure")) + "'");
    }
    TLines Lines;
    std::string_view Line;
    bool TooLong = false;
    if (!Lines.Next(Line, TooLong)) {
        throw EUsageError("header: standard input is empty");
    }
    if (TooLong) {
        throw EUsageError("header: line too long");
    }
    const TLayout Layout = ReadHeader(Trimmed(Line));
    if (Layout.HasPressure && A.Has("--pressure")) {
        throw EUsageError("give either --pressure or a pressure column, not both");
    }

    TOutput Out;
    WriteAll(1, "row,pressure_kpa,temp_c,relhum_pct,spechum_g_per_kg,enthalpy_kj_per_kg\r\n", "standard output");
    TBatch Batch(Layout, Pressure);
    unsigned long long Number = 0;
    unsigned long long Failed = 0;
    while (Lines.Next(Line, TooLong)) {
        ++Number;
        try {
            if (TooLong) {
                throw EUsageError("the row is too long");
            }
            Batch.Row(Line, Number, Out);
        } catch (const std::exception& E) {
            ++Failed;
            std::cerr << "psykrona-cli state: row " << Number << ": " << Escaped(E.what()) << "\n";
        }
    }
    Out.Flush();
    if (Failed > 0) {
        std::cerr << "psykrona-cli state: " << Failed << " of " << Number << " rows failed\n";
        return 1;
    }
    return 0;
}

} // namespace psykrona
