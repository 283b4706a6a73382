#include "cli/CliOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <unistd.h>

namespace psykrona {

namespace {

void AppendHex(std::string& Out, unsigned char C) {
    char Buf[5];
    std::snprintf(Buf, sizeof Buf, "\\x%02x", C);
    Out += Buf;
}

// Escapes the control characters of Text except those in Keep.
std::string EscapedExcept(std::string_view Text, std::string_view Keep) {
    std::string Out;
    Out.reserve(Text.size());
    for (std::size_t I = 0; I < Text.size(); ++I) {
        const auto C = static_cast<unsigned char>(Text[I]);
        if ((C < 0x20 || C == 0x7F) && Keep.find(static_cast<char>(C)) == std::string_view::npos) {
            AppendHex(Out, C);
        } else if (C == 0xC2 && I + 1 < Text.size() && static_cast<unsigned char>(Text[I + 1]) >= 0x80 &&
                   static_cast<unsigned char>(Text[I + 1]) <= 0x9F) {
            // U+0080 to U+009F: terminals take U+009B as the start of an
            // escape sequence.
            AppendHex(Out, C);
            AppendHex(Out, static_cast<unsigned char>(Text[++I]));
        } else {
            Out += static_cast<char>(C);
        }
    }
    return Out;
}

} // namespace

std::string Escaped(std::string_view Text) {
    return EscapedExcept(Text, {});
}

std::string Echoed(std::string_view Value, std::size_t MaxBytes) {
    if (Value.size() <= MaxBytes) {
        return Escaped(Value);
    }
    std::size_t Cut = MaxBytes;
    // Back to the start of a UTF-8 character.
    while (Cut > 0 && (static_cast<unsigned char>(Value[Cut]) & 0xC0) == 0x80) {
        --Cut;
    }
    return Escaped(Value.substr(0, Cut)) + "...";
}

std::string CsvCell(std::string_view Text) {
    const std::string Cell = EscapedExcept(Text, "\t\r\n");
    const bool Formula = !Cell.empty() && std::string_view("=+-@").find(Cell.front()) != std::string_view::npos;
    if (!Formula && Cell.find_first_of(",\"\r\n") == std::string::npos) {
        return Cell;
    }
    std::string Out = Formula ? "\"'" : "\"";
    for (const char C : Cell) {
        Out += C;
        if (C == '"') {
            Out += '"';
        }
    }
    return Out + "\"";
}

void WriteAll(int Fd, std::string_view Bytes, const std::string& What) {
    while (!Bytes.empty()) {
        const ssize_t N = write(Fd, Bytes.data(), Bytes.size());
        if (N < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw std::runtime_error("cannot write " + What + ": " + std::strerror(errno));
        }
        Bytes.remove_prefix(static_cast<std::size_t>(N));
    }
}

} // namespace psykrona
