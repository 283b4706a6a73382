#include "xml/FileAccess.h"

#include "platform/Platform.h"
#include "xml/XmlError.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

namespace psykrona {

namespace {

[[noreturn]] void Fail(const std::string& What, const std::string& FileName, int Error) {
    throw EXmlFileError(What + " \"" + FileName + "\": " + std::strerror(Error), Error);
}

// Removes the named file (a temporary file that did not make it) unless
// released; the file itself is closed first.
class TFileGuard {
public:
    explicit TFileGuard(std::string Name) : FName(std::move(Name)) {}
    ~TFileGuard() {
        if (File.IsOpen()) {
            File.Close();
        }
        if (!FName.empty()) {
            RemoveFile(FName);
        }
    }
    TFileGuard(const TFileGuard&) = delete;
    TFileGuard& operator=(const TFileGuard&) = delete;
    const std::string& Name() const { return FName; }
    void Release() { FName.clear(); }
    void SetName(std::string Name) { FName = std::move(Name); }

    TSystemFile File;

private:
    std::string FName;
};

// Room for Size bytes, from the system's large-buffer allocator (released
// with std::free).
TFileBytes::TData Allocate(std::size_t Size) {
    char* P = AllocateLargeBuffer(Size);
    if (P == nullptr) {
        throw std::bad_alloc();
    }
    return TFileBytes::TData(P);
}

} // namespace

std::string ReadFileBytes(const std::string& FileName, std::size_t MaxSize) {
    return std::string(ReadFileBuffer(FileName, MaxSize).View());
}

TFileBytes ReadFileBuffer(const std::string& FileName, std::size_t MaxSize) {
    TSystemFile File;
    if (const int Error = File.OpenForReading(FileName); Error != 0) {
        Fail("Cannot open", FileName, Error);
    }
    TFileStatus St;
    if (const int Error = File.Status(St); Error != 0) {
        Fail("Cannot read", FileName, Error);
    }
    if (St.Kind != TFileKind::Regular) {
        Fail("Cannot read", FileName, St.Kind == TFileKind::Folder ? EISDIR : EINVAL);
    }
    if (St.Size > MaxSize) {
        Fail("Cannot read", FileName, EFBIG);
    }
    // One buffer of the size the file has, filled by the system straight
    // from the file: no copy, no regrowth. Not a memory map, whose pages
    // would kill the program if the file were cut short while it is read.
    TFileBytes Bytes;
    // A size of 0 may be a file of /proc that only tells its length by being
    // read: a first guess, never past the limit, which must stop the reading.
    std::size_t Capacity = St.Size > 0 ? static_cast<std::size_t>(St.Size) : std::min<std::size_t>(65536, MaxSize);
    Bytes.FData = Allocate(std::max<std::size_t>(Capacity, 1));
    for (;;) {
        std::size_t N = 0;
        if (Bytes.FSize == Capacity) {
            // Full: one byte more tells the end of the file from a file that
            // grew while it was read, or whose size was given as 0 (as for
            // files of /proc); only then does the buffer grow.
            char More;
            if (const int Error = File.Read(&More, 1, N); Error != 0) {
                Fail("Cannot read", FileName, Error);
            }
            if (N == 0) {
                return Bytes;
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
        if (const int Error = File.Read(Bytes.FData.get() + Bytes.FSize, Capacity - Bytes.FSize, N); Error != 0) {
            Fail("Cannot read", FileName, Error);
        }
        if (N == 0) {
            return Bytes;
        }
        Bytes.FSize += N;
    }
}

namespace {

TSaveStepHook GSaveStepHook = nullptr;

void Step(TSaveStep Which) {
    if (GSaveStepHook != nullptr) {
        GSaveStepHook(Which);
    }
}

[[noreturn]] void Refuse(const std::string& FileName, const std::string& Why, int Error) {
    throw EXmlFileError("Cannot write \"" + FileName + "\": " + Why, Error);
}

std::string KindOf(TFileKind Kind) {
    switch (Kind) {
    case TFileKind::Device:
        return "a device";
    case TFileKind::Pipe:
        return "a named pipe";
    case TFileKind::Socket:
        return "a socket";
    default:
        return "not a regular file";
    }
}

// Pieces small enough that a test can stop a save between them.
constexpr std::size_t KChunk = std::size_t(64) << 10;

// Writes Bytes at Offset; the system's error number, or 0.
int WriteAll(TSystemFile& File, std::string_view Bytes, std::uint64_t Offset, bool ReportSteps) {
    std::size_t Done = 0;
    while (Done < Bytes.size()) {
        const std::size_t Size = std::min(KChunk, Bytes.size() - Done);
        std::size_t N = 0;
        if (const int Error = File.WriteAt(Bytes.data() + Done, Size, Offset + Done, N); Error != 0) {
            return Error;
        }
        if (N == 0) {
            return ENOSPC;
        }
        Done += N;
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
    Name += std::to_string(CurrentProcessId());
    Name += '-';
    Name += std::to_string(Count);
    Name += KTempSuffix;
    return Name;
}

// The process id in a temporary file's name, or 0 for any other name.
long TemporaryOwner(std::string_view Name) {
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
    long Pid = 0;
    const auto [End, Ec] = std::from_chars(Name.data(), Name.data() + Dash, Pid);
    return Ec == std::errc() && End == Name.data() + Dash ? Pid : 0;
}

// Removes the temporary files of saves in Folder whose process is gone. A
// save holds a lock on its temporary file for as long as it writes; with
// the process id this keeps a running save's file safe even where process
// ids are not unique (a folder shared between machines).
void RemoveStaleTemporaries(const std::string& Folder) {
    for (const std::string& Entry : FolderEntries(Folder)) {
        const long Pid = TemporaryOwner(Entry);
        if (Pid <= 0 || Pid == CurrentProcessId() || !ProcessIsGone(Pid)) {
            continue;
        }
        TSystemFile File;
        if (File.OpenForUpdate(Folder + Entry, false) != 0) {
            continue;
        }
        TFileStatus St;
        if (File.Status(St) == 0 && St.Kind == TFileKind::Regular && File.Lock()) {
            RemoveFile(Folder + Entry);
        }
    }
}

// A new file in Folder: unnamed where the file system allows it, so that a
// killed save leaves nothing behind; otherwise under a temporary name.
// Returns the system's error number, 0 when the file is open.
int CreateTemporary(const std::string& Folder, TSystemFile& File, std::string& Name) {
    static std::atomic<unsigned> Counter{0};
    Name.clear();
    if (const int Error = File.CreateUnnamed(Folder); Error != 0) {
        // Whatever refuses an unnamed file refuses a named one too.
        if (Error == EACCES || Error == EPERM || Error == EROFS || Error == ENOSPC || Error == KQuotaExceeded ||
            Error == ENOENT || Error == ENOTDIR) {
            return Error;
        }
        for (int Attempt = 0; !File.IsOpen(); ++Attempt) {
            Name = TemporaryName(Folder, Counter++);
            if (const int Refused = File.CreateNew(Name); Refused != 0 && (Refused != EEXIST || Attempt >= 100)) {
                Name.clear();
                return Refused;
            }
        }
    }
    File.Lock();
    return 0;
}

// Gives the unnamed file File the temporary name Name in Folder.
int LinkTemporary(TSystemFile& File, const std::string& Folder, std::string& Name) {
    static std::atomic<unsigned> Counter{0};
    for (int Attempt = 0;; ++Attempt) {
        Name = TemporaryName(Folder, Counter++);
        const int Error = File.Link(Name);
        if (Error == 0) {
            return 0;
        }
        if (Error != EEXIST || Attempt >= 100) {
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
                          std::string_view Bytes, const TFileStatus* Old) {
    TFileGuard Temp({});
    std::string Name;
    if (const int Error = CreateTemporary(Folder, Temp.File, Name); Error != 0) {
        if (FolderRefuses(Error)) {
            return Error;
        }
        Fail("Cannot write", FileName, Error);
    }
    Temp.SetName(Name);
    if (Old != nullptr) {
        Temp.File.TakeOwnerAndMode(*Old);
    }
    if (const int Error = WriteAll(Temp.File, Bytes, 0, true); Error != 0) {
        Fail("Cannot write", FileName, Error);
    }
    if (const int Error = Temp.File.Flush(); Error != 0) {
        Fail("Cannot write", FileName, Error);
    }
    Step(TSaveStep::Written);
    if (Name.empty()) {
        std::string Linked;
        if (const int Error = LinkTemporary(Temp.File, Folder, Linked); Error != 0) {
            if (FolderRefuses(Error)) {
                return Error;
            }
            Fail("Cannot write", FileName, Error);
        }
        Temp.SetName(Linked);
    }
    if (const int Error = RenameOver(Temp.Name(), Target); Error != 0) {
        if (FolderRefuses(Error)) {
            return Error;
        }
        Fail("Cannot write", FileName, Error);
    }
    Temp.Release();
    Step(TSaveStep::Replaced);
    if (const int Error = Temp.File.Close(); Error != 0) {
        // The data were flushed; a late error still means the disk may not
        // hold them.
        Fail("Cannot write", FileName, Error);
    }
    // Makes the rename itself durable; a failure here leaves a complete file.
    FlushFolder(Folder);
    return 0;
}

// Rewrites Target in place, for a file in a folder that refuses new files.
// Its new size is reserved first and its old bytes are kept until the new
// ones are on the disk, so a full disk or a failed write leaves the old file.
// A kill during the write is not covered: only the atomic replace leaves the
// old or the new file whenever the process ends.
void WriteInPlace(const std::string& FileName, const std::string& Target, std::string_view Bytes) {
    TSystemFile File;
    if (const int Error = File.OpenForUpdate(Target); Error != 0) {
        Fail("Cannot write", FileName, Error);
    }
    TFileStatus St;
    if (const int Error = File.Status(St); Error != 0) {
        Fail("Cannot write", FileName, Error);
    }
    if (St.Kind != TFileKind::Regular) {
        Refuse(FileName, "it is " + KindOf(St.Kind), EINVAL);
    }
    std::string Old;
    std::array<char, 65536> Buffer{};
    for (;;) {
        std::size_t N = 0;
        if (const int Error = File.ReadAt(Buffer.data(), Buffer.size(), Old.size(), N); Error != 0) {
            Fail("Cannot write", FileName, Error);
        }
        if (N == 0) {
            break;
        }
        Old.append(Buffer.data(), N);
    }
    if (!Bytes.empty()) {
        if (const int Error = File.Reserve(Bytes.size()); Error != 0) {
            File.Resize(Old.size());
            Fail("Cannot write", FileName, Error);
        }
    }
    try {
        int Error = WriteAll(File, Bytes, 0, true);
        if (Error == 0) {
            Error = File.Resize(Bytes.size());
        }
        if (Error == 0) {
            Error = File.Flush();
        }
        if (Error != 0) {
            Fail("Cannot write", FileName, Error);
        }
        Step(TSaveStep::Written);
    } catch (...) {
        int Error = WriteAll(File, Old, 0, false);
        if (Error == 0) {
            Error = File.Resize(Old.size());
        }
        if (Error == 0) {
            Error = File.Flush();
        }
        if (Error != 0) {
            Fail("Cannot write; the old content could not be put back into", FileName, Error);
        }
        throw;
    }
    if (const int Error = File.Close(); Error != 0) {
        Fail("Cannot write", FileName, Error);
    }
    Step(TSaveStep::Replaced);
}

} // namespace

void SetSaveStepHook(TSaveStepHook Hook) { GSaveStepHook = Hook; }

void WriteFileAtomically(const std::string& FileName, std::string_view Bytes) {
    Step(TSaveStep::Start);
    std::string Target = FileName;
    TFileStatus St;
    const int Missing = PathStatus(FileName, false, St);
    const bool Exists = Missing == 0;
    if (!Exists && Missing != ENOENT) {
        Fail("Cannot write", FileName, Missing);
    }
    if (Exists && St.Kind == TFileKind::Link) {
        if (const int Error = PathStatus(FileName, true, St); Error != 0) {
            Refuse(FileName, std::string("it is a symbolic link to nothing (") + std::strerror(Error) + ")", Error);
        }
        if (const int Error = ResolvePath(FileName, Target); Error != 0) {
            Fail("Cannot write", FileName, Error);
        }
    }
    if (Exists) {
        if (St.Kind == TFileKind::Folder) {
            Fail("Cannot write", FileName, EISDIR);
        }
        if (St.Kind != TFileKind::Regular) {
            Refuse(FileName, "it is " + KindOf(St.Kind) + ", which a save must not replace", EINVAL);
        }
        // Renaming would replace even a read-only file; honour the protection.
        if (const int Error = CheckWritable(Target); Error != 0) {
            Fail("Cannot write", FileName, Error);
        }
    }

    const std::string Folder = Target.substr(0, NameStart(Target));
    const int Refused = ReplaceThroughNewFile(FileName, Target, Folder.empty() ? "./" : Folder, Bytes,
                                              Exists ? &St : nullptr);
    if (Refused == 0) {
        RemoveStaleTemporaries(Folder.empty() ? "./" : Folder);
        return;
    }
    if (!Exists) {
        Fail("Cannot write", FileName, Refused);
    }
    WriteInPlace(FileName, Target, Bytes);
}

} // namespace psykrona
