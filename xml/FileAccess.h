#pragma once

#include <string>
#include <string_view>

namespace psykrona {

// The whole content of the file FileName. Throws EXmlFileError (with the
// system's error number) when it cannot be opened or read, and for anything
// that is not a regular file.
std::string ReadFileBytes(const std::string& FileName);

// Replaces the content of FileName with Bytes, or creates the file. The bytes
// go to a temporary file in the same folder, which is flushed to the disk and
// then renamed over FileName, so the old file survives any failure intact.
// An existing file keeps its permissions; a symbolic link is followed and its
// target replaced. Throws EXmlFileError.
void WriteFileAtomically(const std::string& FileName, std::string_view Bytes);

} // namespace psykrona
