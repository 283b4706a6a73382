#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace psykrona {

// Everything the core asks of the operating system: the program's folder,
// the user's decimal separator, code page characters, file status, and
// files read, written, flushed and renamed. One implementation per system
// (PlatformPosix.cpp, PlatformWindows.cpp); paths are UTF-8 everywhere.
//
// Failures are returned as the C library's error numbers (0 for success),
// so the messages and checks built on them read alike on every system;
// system errors without a counterpart become EIO.

// Over the user's disk quota; systems without quotas never report it.
#ifdef EDQUOT
inline constexpr int KQuotaExceeded = EDQUOT;
#else
inline constexpr int KQuotaExceeded = ENOSPC;
#endif

// The running program's folder with a trailing "/", or "./" when the system
// does not tell.
std::string ProgramFolder();

// The decimal separator of the user's locale, or '.' when the locale is
// unknown or its separator is not a single byte.
char UserDecimalSeparator() noexcept;

// Appends the UTF-8 of the character Byte stands for in the Windows code
// page CodePage (1250 or 1252); false, with nothing appended, when the code
// page leaves the byte undefined or the system cannot convert.
bool AppendCodePageCharacter(std::string& Out, unsigned CodePage, unsigned char Byte);

// Room for Size bytes that std::free releases, or nullptr. Large buffers
// take the system's huge pages where it gives them on request, so that
// reading a large file into them faults in a few hundred pages, not one
// every 4 KB.
char* AllocateLargeBuffer(std::size_t Size);

enum class TFileKind { Regular, Folder, Link, Device, Pipe, Socket, Other };

struct TFileStatus {
    TFileKind Kind = TFileKind::Other;
    std::uint64_t Size = 0;
    // Together they name the file on this machine; both 0 when unknown.
    std::uint64_t Device = 0;
    std::uint64_t Identity = 0;
    // Owner and permission bits where the system has them.
    std::uint32_t Mode = 0;
    std::uint32_t Owner = 0;
    std::uint32_t Group = 0;
};

// The status of the file at Path; of a link itself unless FollowLinks.
int PathStatus(const std::string& Path, bool FollowLinks, TFileStatus& Out);
// Whether both are the same file; false when either is unknown.
bool IsSameFile(const TFileStatus& A, const TFileStatus& B);
// The absolute path of Path with every link resolved.
int ResolvePath(const std::string& Path, std::string& Out);
// 0 when the process may write the existing file at Path.
int CheckWritable(const std::string& Path);
int RemoveFile(const std::string& Path);
// Gives From the name To, replacing a file there in one step and durably
// where the system allows.
int RenameOver(const std::string& From, const std::string& To);
// Makes the renames in Folder durable; a failure is ignored.
void FlushFolder(const std::string& Folder);
// The names in Folder; none when it cannot be read.
std::vector<std::string> FolderEntries(const std::string& Folder);
// Where the file's name begins in Path: just after the last separator, or 0.
std::size_t NameStart(const std::string& Path);

long CurrentProcessId();
// True only when the system says no process Pid exists.
bool ProcessIsGone(long Pid);

// An open file, closed when destroyed.
class TSystemFile {
public:
    TSystemFile() = default;
    ~TSystemFile();
    TSystemFile(const TSystemFile&) = delete;
    TSystemFile& operator=(const TSystemFile&) = delete;

    bool IsOpen() const { return FHandle != KClosed; }

    // Opening never waits (a named pipe without a writer is opened, and
    // refused by its status).
    int OpenForReading(const std::string& Path);
    // Reading and writing; a link is not followed unless FollowLinks.
    int OpenForUpdate(const std::string& Path, bool FollowLinks = true);
    // A new file without a name in Folder (ENOTSUP where the system has no
    // such files), to be named by Link.
    int CreateUnnamed(const std::string& Folder);
    // A new file at Path; EEXIST when there is one.
    int CreateNew(const std::string& Path);
    // Names the unnamed file Path.
    int Link(const std::string& Path);

    int Status(TFileStatus& Out) const;
    // Reads up to Size bytes at the current position; Got 0 at the end.
    int Read(char* Data, std::size_t Size, std::size_t& Got);
    int ReadAt(char* Data, std::size_t Size, std::uint64_t Offset, std::size_t& Got);
    // Writes up to Size bytes at Offset; Written may be less.
    int WriteAt(const char* Data, std::size_t Size, std::uint64_t Offset, std::size_t& Written);
    // Reserves the disk space for Size bytes, growing the file to Size.
    int Reserve(std::uint64_t Size);
    int Resize(std::uint64_t Size);
    // Puts the data on the disk.
    int Flush();
    // An exclusive lock on the whole file, held until it is closed; false
    // when another holds one.
    bool Lock();
    // Takes the owner and permissions of Of where the process may; the
    // group alone is kept when the owner cannot be.
    void TakeOwnerAndMode(const TFileStatus& Of);
    int Close();

private:
    static constexpr std::intptr_t KClosed = -1;
    std::intptr_t FHandle = KClosed; // a descriptor, or a Windows handle
};

} // namespace psykrona
