#pragma once

#include <cstddef>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

namespace psykrona {

// The whole content of the file FileName. Throws EXmlFileError (with the
// system's error number) when it cannot be opened or read, for anything that
// is not a regular file, and (EFBIG) for a file of more than MaxSize bytes,
// without reading more than that.
std::string ReadFileBytes(const std::string& FileName,
                          std::size_t MaxSize = std::numeric_limits<std::size_t>::max());

// The whole content of a file in one buffer of the file's size, which
// nothing fills before read() does: for files of hundreds of megabytes.
class TFileBytes {
public:
    std::string_view View() const { return {FData.get(), FSize}; }

    struct TFree {
        void operator()(char* P) const { std::free(P); }
    };
    using TData = std::unique_ptr<char[], TFree>; // NOLINT(modernize-avoid-c-arrays): unlike a vector, not filled before read()

private:
    friend TFileBytes ReadFileBuffer(const std::string& FileName, std::size_t MaxSize);
    TData FData;
    std::size_t FSize = 0;
};
// Like ReadFileBytes.
TFileBytes ReadFileBuffer(const std::string& FileName,
                          std::size_t MaxSize = std::numeric_limits<std::size_t>::max());

// Replaces the content of FileName with Bytes, or creates the file.
//
// The bytes go to a new file in the same folder (unnamed where the file
// system allows it), which is flushed to the disk and then renamed over
// FileName, so the old file survives any failure, a kill included. A
// temporary name is short and carries the process id; one left by a killed
// save is removed by a later save in the folder once that process is gone.
//
// Where the folder refuses the new file but the file itself may be written,
// the file is rewritten in place: its new size is reserved first, and the old
// bytes are put back when writing fails, so a full disk leaves the old file;
// a kill in the middle of such a write can leave a cut one.
//
// An existing file keeps its permissions and, where the process may, its
// owner. A symbolic link to a regular file is written through and stays a
// link. Anything else in the way (a folder, a device, a FIFO, a socket, a
// dangling link) is refused. Throws EXmlFileError.
void WriteFileAtomically(const std::string& FileName, std::string_view Bytes);

// The steps of a save, for tests that stop or kill a saving process at a
// known point. Start comes before anything is created; Chunk after each
// piece of the bytes is written; Written once all are on the disk; Replaced
// once the new file has its name (or, in place, is complete).
enum class TSaveStep { Start, Chunk, Written, Replaced };
using TSaveStepHook = void (*)(TSaveStep Step);
// Only tests set a hook; the program never does. A hook may throw, which
// fails the save like any write error.
void SetSaveStepHook(TSaveStepHook Hook);

} // namespace psykrona
