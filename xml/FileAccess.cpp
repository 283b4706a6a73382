#include "xml/FileAccess.h"

#include "xml/XmlError.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace psykrona {

namespace {

[[noreturn]] void Fail(const std::string& What, const std::string& FileName, int Error) {
    throw EXmlFileError(What + " \"" + FileName + "\": " + std::strerror(Error), Error);
}

// Closes the descriptor and, unless released, removes the named file (a
// temporary file that did not make it).
class TFileGuard {
public:
    TFileGuard(int Fd, std::string Name) : FFd(Fd), FName(std::move(Name)) {}
    ~TFileGuard() {
        if (FFd >= 0) {
            close(FFd);
        }
        if (!FName.empty()) {
            unlink(FName.c_str());
        }
    }
    TFileGuard(const TFileGuard&) = delete;
    TFileGuard& operator=(const TFileGuard&) = delete;
    int Fd() const { return FFd; }
    const std::string& Name() const { return FName; }
    int Close() {
        const int Result = close(FFd);
        FFd = -1;
        return Result;
    }
    void Release() { FName.clear(); }
    void SetName(std::string Name) { FName = std::move(Name); }

private:
    int FFd;
    std::string FName;
};

// Room for Size bytes. Large buffers take the kernel's huge pages where it
// gives them on request: read() then fills a few hundred pages, not one
// page fault every 4 KB.
TFileBytes::TData Allocate(std::size_t Size) {
    constexpr std::size_t Huge = std::size_t{2} << 20;
    void* P = nullptr;
    if (Size >= Huge) {
        P = std::aligned_alloc(Huge, (Size + Huge - 1) / Huge * Huge);
        if (P != nullptr) {
            (void)madvise(P, Size, MADV_HUGEPAGE); // only advice: without it, plain pages
        }
    } else {
        P = std::malloc(Size);
    }
    if (P == nullptr) {
        throw std::bad_alloc();
    }
    return TFileBytes::TData(static_cast<char*>(P));
}

} // namespace

std::string ReadFileBytes(const std::string& FileName, std::size_t MaxSize) {
    return std::string(ReadFileBuffer(FileName, MaxSize).View());
}

TFileBytes ReadFileBuffer(const std::string& FileName, std::size_t MaxSize) {
    // Non-blocking, so that a named pipe without a writer is refused below
    // instead of stopping the program in open(); regular files ignore it.
    const int Fd = open(FileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (Fd < 0) {
        Fail("Cannot open", FileName, errno);
    }
    const TFileGuard Guard(Fd, {});
    struct stat St;
    if (fstat(Fd, &St) != 0) {
        Fail("Cannot read", FileName, errno);
    }
    if (!S_ISREG(St.st_mode)) {
        Fail("Cannot read", FileName, S_ISDIR(St.st_mode) ? EISDIR : EINVAL);
    }
    if (static_cast<std::uintmax_t>(St.st_size) > MaxSize) {
        Fail("Cannot read", FileName, EFBIG);
    }
    // One buffer of the size the file has, filled by read() straight from
    // the file: no copy, no regrowth. Not a memory map, whose pages would
    // kill the program if the file were cut short while it is read.
    TFileBytes Bytes;
    // A size of 0 may be a file of /proc that only tells its length by being
    // read: a first guess, never past the limit, which must stop the reading.
    std::size_t Capacity = St.st_size > 0 ? static_cast<std::size_t>(St.st_size) : std::min<std::size_t>(65536, MaxSize);
    Bytes.FData = Allocate(std::max<std::size_t>(Capacity, 1));
    for (;;) {
        if (Bytes.FSize == Capacity) {
            // Full: one byte more tells the end of the file from a file that
            // grew while it was read, or whose size was given as 0 (as for
            // files of /proc); only then does the buffer grow.
            char More;
            const ssize_t N = read(Fd, &More, 1);
            if (N == 0) {
                return Bytes;
            }
            if (N < 0) {
                if (errno == EINTR) {
                    continue;
                }
                Fail("Cannot read", FileName, errno);
            }
            if (Bytes.FSize >= MaxSize) {
                Fail("Cannot read", FileName, EFBIG);
            }
            Capacity = std::min(MaxSize, Capacity + std::max(std::size_t(65536), Capacity / 2));
            TFileBytes::TData Larger = Allocate(Capacity);
            std::memcpy(Larger.get(), Bytes.FData.get(), Bytes.FSize);
            Bytes.FData = std::move(Larger);
            Bytes.FData[Bytes.FSize++] = More;
            continue;
        }
        const ssize_t N = read(Fd, Bytes.FData.get() + Bytes.FSize, Capacity - Bytes.FSize);
        if (N == 0) {
            return Bytes;
        }
        if (N < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail("Cannot read", FileName, errno);
        }
        Bytes.FSize += static_cast<std::size_t>(N);
    }
}

namespace {

TSaveStepHook GSaveStepHook = nullptr;

// For steps whose failure changes nothing that matters.
void Ignore(int /*Result*/) {}

void Step(TSaveStep Which) {
    if (GSaveStepHook != nullptr) {
        GSaveStepHook(Which);
    }
}

[[noreturn]] void Refuse(const std::string& FileName, const std::string& Why, int Error) {
    throw EXmlFileError("Cannot write \"" + FileName + "\": " + Why, Error);
}

std::string KindOf(mode_t Mode) {
    if (S_ISCHR(Mode) || S_ISBLK(Mode)) {
        return "a device";
    }
    if (S_ISFIFO(Mode)) {
        return "a named pipe";
    }
    if (S_ISSOCK(Mode)) {
        return "a socket";
    }
    return "not a regular file";
}

// Pieces small enough that a test can stop a save between them.
constexpr std::size_t KChunk = std::size_t(64) << 10;

// Writes Bytes at Offset; the system's error number, or 0.
int WriteAll(int Fd, std::string_view Bytes, off_t Offset, bool ReportSteps) {
    std::size_t Done = 0;
    while (Done < Bytes.size()) {
        const std::size_t Size = std::min(KChunk, Bytes.size() - Done);
        const ssize_t N = pwrite(Fd, Bytes.data() + Done, Size, Offset + static_cast<off_t>(Done));
        if (N < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (N == 0) {
            return ENOSPC;
        }
        Done += static_cast<std::size_t>(N);
        if (ReportSteps) {
            Step(TSaveStep::Chunk);
        }
    }
    return 0;
}

// Temporary files are named ".psykrona-<pid>-<count>.tmp": short, so that a
// file of the longest name the system allows still saves, and with the
// process id, so that one left by a killed save can be told from one still
// being written.
constexpr std::string_view KTempPrefix = ".psykrona-";
constexpr std::string_view KTempSuffix = ".tmp";

// The temporary name of this process's save number Count in Folder.
std::string TemporaryName(const std::string& Folder, unsigned Count) {
    std::string Name = Folder;
    Name += KTempPrefix;
    Name += std::to_string(getpid());
    Name += '-';
    Name += std::to_string(Count);
    Name += KTempSuffix;
    return Name;
}

// The process id in a temporary file's name, or 0 for any other name.
pid_t TemporaryOwner(std::string_view Name) {
    if (!Name.starts_with(KTempPrefix) || !Name.ends_with(KTempSuffix)) {
        return 0;
    }
    Name.remove_prefix(KTempPrefix.size());
    Name.remove_suffix(KTempSuffix.size());
    const std::size_t Dash = Name.find('-');
    if (Dash == std::string_view::npos || Dash + 1 == Name.size() ||
        Name.find_first_not_of("0123456789-") != std::string_view::npos) {
        return 0;
    }
    pid_t Pid = 0;
    const auto [End, Ec] = std::from_chars(Name.data(), Name.data() + Dash, Pid);
    return Ec == std::errc() && End == Name.data() + Dash ? Pid : 0;
}

// A save holds a lock on its temporary file for as long as it writes; with
// the process id this keeps a running save's file safe even where process
// ids are not unique (a folder shared between machines).
bool LockTemporary(int Fd) {
    struct flock Lock {};
    Lock.l_type = F_WRLCK;
    Lock.l_whence = SEEK_SET;
    return fcntl(Fd, F_OFD_SETLK, &Lock) == 0;
}

// Removes the temporary files of saves in Folder whose process is gone.
void RemoveStaleTemporaries(const std::string& Folder) {
    DIR* Dir = opendir(Folder.c_str());
    if (Dir == nullptr) {
        return;
    }
    while (const dirent* Entry = readdir(Dir)) {
        const pid_t Pid = TemporaryOwner(Entry->d_name);
        if (Pid <= 0 || Pid == getpid() || kill(Pid, 0) == 0 || errno != ESRCH) {
            continue;
        }
        const int Fd = openat(dirfd(Dir), Entry->d_name, O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (Fd < 0) {
            continue;
        }
        struct stat St;
        if (fstat(Fd, &St) == 0 && S_ISREG(St.st_mode) && LockTemporary(Fd)) {
            unlinkat(dirfd(Dir), Entry->d_name, 0);
        }
        close(Fd);
    }
    closedir(Dir);
}

// A new file in Folder: unnamed where the file system allows it, so that a
// killed save leaves nothing behind; otherwise under a temporary name.
// Returns the system's error number, 0 when the file is open.
int CreateTemporary(const std::string& Folder, int& Fd, std::string& Name) {
    static std::atomic<unsigned> Counter{0};
    Name.clear();
    Fd = open(Folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (Fd < 0) {
        // Whatever refuses an unnamed file refuses a named one too.
        if (errno == EACCES || errno == EPERM || errno == EROFS || errno == ENOSPC || errno == EDQUOT ||
            errno == ENOENT || errno == ENOTDIR) {
            return errno;
        }
        for (int Attempt = 0; Fd < 0; ++Attempt) {
            Name = TemporaryName(Folder, Counter++);
            Fd = open(Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (Fd < 0 && (errno != EEXIST || Attempt >= 100)) {
                const int Error = errno;
                Name.clear();
                return Error;
            }
        }
    }
    LockTemporary(Fd);
    return 0;
}

// Gives the unnamed file Fd the temporary name Name in Folder.
int LinkTemporary(int Fd, const std::string& Folder, std::string& Name) {
    static std::atomic<unsigned> Counter{0};
    const std::string Proc = "/proc/self/fd/" + std::to_string(Fd);
    for (int Attempt = 0;; ++Attempt) {
        Name = TemporaryName(Folder, Counter++);
        if (linkat(AT_FDCWD, Proc.c_str(), AT_FDCWD, Name.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
            linkat(Fd, "", AT_FDCWD, Name.c_str(), AT_EMPTY_PATH) == 0) {
            return 0;
        }
        if (errno != EEXIST || Attempt >= 100) {
            const int Error = errno;
            Name.clear();
            return Error;
        }
    }
}

// The folder refused what the atomic replace needs; the file itself may
// still be writable.
bool FolderRefuses(int Error) { return Error == EACCES || Error == EPERM || Error == EBUSY; }

// Writes Bytes to a new file beside Target and renames it over Target.
// Returns 0, or the error number when the folder refuses the new file or the
// rename; throws for any other failure. Old, when given, is the target's
// status, whose owner and permissions the new file takes.
int ReplaceThroughNewFile(const std::string& FileName, const std::string& Target, const std::string& Folder,
                          std::string_view Bytes, const struct stat* Old) {
    int Fd = -1;
    std::string Name;
    if (const int Error = CreateTemporary(Folder, Fd, Name); Error != 0) {
        if (FolderRefuses(Error)) {
            return Error;
        }
        Fail("Cannot write", FileName, Error);
    }
    TFileGuard Temp(Fd, Name);
    if (Old != nullptr) {
        // Taking the owner may fail; the group alone may still be kept. The
        // permissions come after, as a change of owner clears some of them.
        if (fchown(Fd, Old->st_uid, Old->st_gid) != 0) {
            Ignore(fchown(Fd, static_cast<uid_t>(-1), Old->st_gid));
        }
        Ignore(fchmod(Fd, Old->st_mode & 07777));
    }
    if (const int Error = WriteAll(Fd, Bytes, 0, true); Error != 0) {
        Fail("Cannot write", FileName, Error);
    }
    if (fsync(Fd) != 0) {
        Fail("Cannot write", FileName, errno);
    }
    Step(TSaveStep::Written);
    if (Name.empty()) {
        std::string Linked;
        if (const int Error = LinkTemporary(Fd, Folder, Linked); Error != 0) {
            if (FolderRefuses(Error)) {
                return Error;
            }
            Fail("Cannot write", FileName, Error);
        }
        Temp.SetName(Linked);
    }
    if (rename(Temp.Name().c_str(), Target.c_str()) != 0) {
        const int Error = errno;
        if (FolderRefuses(Error)) {
            return Error;
        }
        Fail("Cannot write", FileName, Error);
    }
    Temp.Release();
    Step(TSaveStep::Replaced);
    if (Temp.Close() != 0) {
        // The data were flushed; a late error still means the disk may not
        // hold them.
        Fail("Cannot write", FileName, errno);
    }
    // Makes the rename itself durable; a failure here leaves a complete file.
    const int Dir = open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Dir >= 0) {
        fsync(Dir);
        close(Dir);
    }
    return 0;
}

// Rewrites Target in place, for a file in a folder that refuses new files.
// Its new size is reserved first and its old bytes are kept until the new
// ones are on the disk, so a full disk or a failed write leaves the old file.
// A kill during the write is not covered: only the atomic replace leaves the
// old or the new file whenever the process ends.
void WriteInPlace(const std::string& FileName, const std::string& Target, std::string_view Bytes) {
    const int Fd = open(Target.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (Fd < 0) {
        Fail("Cannot write", FileName, errno);
    }
    TFileGuard Guard(Fd, {});
    struct stat St;
    if (fstat(Fd, &St) != 0) {
        Fail("Cannot write", FileName, errno);
    }
    if (!S_ISREG(St.st_mode)) {
        Refuse(FileName, "it is " + KindOf(St.st_mode), EINVAL);
    }
    std::string Old;
    std::array<char, 65536> Buffer{};
    for (;;) {
        const ssize_t N = pread(Fd, Buffer.data(), Buffer.size(), static_cast<off_t>(Old.size()));
        if (N == 0) {
            break;
        }
        if (N < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail("Cannot write", FileName, errno);
        }
        Old.append(Buffer.data(), static_cast<std::size_t>(N));
    }
    if (!Bytes.empty()) {
        if (const int Error = posix_fallocate(Fd, 0, static_cast<off_t>(Bytes.size())); Error != 0) {
            Ignore(ftruncate(Fd, static_cast<off_t>(Old.size())));
            Fail("Cannot write", FileName, Error);
        }
    }
    try {
        int Error = WriteAll(Fd, Bytes, 0, true);
        if (Error == 0 && ftruncate(Fd, static_cast<off_t>(Bytes.size())) != 0) {
            Error = errno;
        }
        if (Error == 0 && fsync(Fd) != 0) {
            Error = errno;
        }
        if (Error != 0) {
            Fail("Cannot write", FileName, Error);
        }
        Step(TSaveStep::Written);
    } catch (...) {
        const bool Restored = WriteAll(Fd, Old, 0, false) == 0 &&
                              ftruncate(Fd, static_cast<off_t>(Old.size())) == 0 && fsync(Fd) == 0;
        if (!Restored) {
            Fail("Cannot write; the old content could not be put back into", FileName, errno ? errno : EIO);
        }
        throw;
    }
    if (Guard.Close() != 0) {
        Fail("Cannot write", FileName, errno);
    }
    Step(TSaveStep::Replaced);
}

} // namespace

void SetSaveStepHook(TSaveStepHook Hook) { GSaveStepHook = Hook; }

void WriteFileAtomically(const std::string& FileName, std::string_view Bytes) {
    Step(TSaveStep::Start);
    std::string Target = FileName;
    struct stat St;
    bool Exists = lstat(FileName.c_str(), &St) == 0;
    if (!Exists && errno != ENOENT) {
        Fail("Cannot write", FileName, errno);
    }
    if (Exists && S_ISLNK(St.st_mode)) {
        if (stat(FileName.c_str(), &St) != 0) {
            const int Error = errno;
            Refuse(FileName, std::string("it is a symbolic link to nothing (") + std::strerror(Error) + ")", Error);
        }
        std::unique_ptr<char, decltype(&std::free)> Resolved(realpath(FileName.c_str(), nullptr), &std::free);
        if (!Resolved) {
            Fail("Cannot write", FileName, errno);
        }
        Target = Resolved.get();
    }
    if (Exists) {
        if (S_ISDIR(St.st_mode)) {
            Fail("Cannot write", FileName, EISDIR);
        }
        if (!S_ISREG(St.st_mode)) {
            Refuse(FileName, "it is " + KindOf(St.st_mode) + ", which a save must not replace", EINVAL);
        }
        // Renaming would replace even a read-only file; honour the protection.
        if (access(Target.c_str(), W_OK) != 0) {
            Fail("Cannot write", FileName, errno);
        }
    }

    const std::size_t Slash = Target.rfind('/');
    const std::string Folder = Slash == std::string::npos ? std::string() : Target.substr(0, Slash + 1);
    const int Refused = ReplaceThroughNewFile(FileName, Target, Folder.empty() ? "./" : Folder, Bytes,
                                              Exists ? &St : nullptr);
    if (Refused == 0) {
        RemoveStaleTemporaries(Folder.empty() ? "." : Folder);
        return;
    }
    if (!Exists) {
        Fail("Cannot write", FileName, Refused);
    }
    WriteInPlace(FileName, Target, Bytes);
}

} // namespace psykrona
