#include "cli/CliOutput.h"

#include "engine/PointTable.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <unistd.h>

namespace psykrona {

std::string Escaped(std::string_view Text) {
    return ControlEscaped(Text);
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
