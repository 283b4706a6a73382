#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

namespace psykrona {

// The whole content of the file FileName. Throws EXmlFileError (with the
// system's error number) when it cannot be opened or read, for anything that
// is not a regular file, and (EFBIG) for a file of more than MaxSize bytes,
// without reading more than that.
std::string ReadFileBytes(const std::string& FileName,
                          std::size_t MaxSize = std::numeric_limits<std::size_t>::max());

// Replaces the content of FileName with Bytes, or creates the file. The bytes
// go to a temporary file in the same folder, which is flushed to the disk and
// then renamed over FileName, so the old file survives any failure intact.
// An existing file keeps its permissions; a symbolic link is followed and its
// target replaced. Throws EXmlFileError.
void WriteFileAtomically(const std::string& FileName, std::string_view Bytes);

} // namespace psykrona
