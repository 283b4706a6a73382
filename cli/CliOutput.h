#pragma once

#include <string>
#include <string_view>

namespace psykrona {

// Text from files and command lines as psykrona-cli shows it on a terminal:
// control characters (C0, DEL and the C1 range, also in UTF-8) appear as
// \xNN, so a name holding an escape sequence cannot retitle or clear the
// user's terminal. Everything else, UTF-8 letters included, stays.
std::string Escaped(std::string_view Text);

// A value from the command line echoed in a message: escaped, and cut after
// MaxBytes bytes (at a character boundary), with "..." where it was cut.
std::string Echoed(std::string_view Value, std::size_t MaxBytes = 40);

// Writes all of Bytes to the file descriptor, retrying interrupted and
// partial writes. Throws std::runtime_error naming What and the system's
// reason when a write fails.
void WriteAll(int Fd, std::string_view Bytes, const std::string& What);

} // namespace psykrona
