#include "platform/Platform.h"

#include <array>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h> // NOLINT(modernize-deprecated-headers): POSIX newlocale lives here
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace psykrona {

namespace {

int Fd(std::intptr_t Handle) { return static_cast<int>(Handle); }

// The error of a call that returned Result: 0, or errno.
int ErrorOf(int Result) { return Result == 0 ? 0 : errno; }

TFileKind KindOf(mode_t Mode) {
    if (S_ISREG(Mode)) {
        return TFileKind::Regular;
    }
    if (S_ISDIR(Mode)) {
        return TFileKind::Folder;
    }
    if (S_ISLNK(Mode)) {
        return TFileKind::Link;
    }
    if (S_ISCHR(Mode) || S_ISBLK(Mode)) {
        return TFileKind::Device;
    }
    if (S_ISFIFO(Mode)) {
        return TFileKind::Pipe;
    }
    if (S_ISSOCK(Mode)) {
        return TFileKind::Socket;
    }
    return TFileKind::Other;
}

TFileStatus StatusOf(const struct stat& St) {
    TFileStatus Out;
    Out.Kind = KindOf(St.st_mode);
    Out.Size = St.st_size > 0 ? static_cast<std::uint64_t>(St.st_size) : 0;
    Out.Device = static_cast<std::uint64_t>(St.st_dev);
    Out.Identity = static_cast<std::uint64_t>(St.st_ino);
    Out.Mode = St.st_mode & 07777;
    Out.Owner = St.st_uid;
    Out.Group = St.st_gid;
    return Out;
}

// glibc's converters, opened once per thread and code page.
class TConverter {
public:
    explicit TConverter(const char* From) : FCd(iconv_open("UTF-8", From)) {}
    ~TConverter() {
        if (Valid()) {
            iconv_close(FCd);
        }
    }
    TConverter(const TConverter&) = delete;
    TConverter& operator=(const TConverter&) = delete;
    // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv_open's failure value
    bool Valid() const { return FCd != reinterpret_cast<iconv_t>(-1); }

    // One byte at a time is all the code pages need; a byte iconv refuses
    // is one the code page leaves undefined.
    bool Append(std::string& Out, unsigned char Byte) {
        char In = static_cast<char>(Byte);
        char* InPtr = &In;
        std::size_t InLeft = 1;
        std::array<char, 8> Buffer{};
        char* OutPtr = Buffer.data();
        std::size_t OutLeft = Buffer.size();
        if (!Valid()) {
            return false;
        }
        if (iconv(FCd, &InPtr, &InLeft, &OutPtr, &OutLeft) == static_cast<std::size_t>(-1)) {
            iconv(FCd, nullptr, nullptr, nullptr, nullptr);
            return false;
        }
        Out.append(Buffer.data(), static_cast<std::size_t>(OutPtr - Buffer.data()));
        return true;
    }

private:
    iconv_t FCd;
};

} // namespace

char* AllocateLargeBuffer(std::size_t Size) {
    constexpr std::size_t Huge = std::size_t{2} << 20;
    if (Size < Huge) {
        return static_cast<char*>(std::malloc(Size));
    }
    const std::size_t Rounded = (Size + Huge - 1) / Huge * Huge;
    void* P = std::aligned_alloc(Huge, Rounded);
    if (P != nullptr) {
        // The whole rounded room: a last huge page only partly advised
        // would fall back to small pages, one fault every 4 KB of it.
        (void)madvise(P, Rounded, MADV_HUGEPAGE); // only advice: without it, plain pages
    }
    return static_cast<char*>(P);
}

std::string ProgramFolder() {
    std::string Path(4096, '\0');
    const ssize_t Len = readlink("/proc/self/exe", Path.data(), Path.size());
    if (Len <= 0) {
        return "./";
    }
    Path.resize(static_cast<size_t>(Len));
    return Path.substr(0, Path.rfind('/') + 1);
}

char UserDecimalSeparator() noexcept {
    const char* Name = nullptr;
    for (const char* Var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* V = std::getenv(Var);
        if (V != nullptr && *V != '\0') {
            Name = V;
            break;
        }
    }
    if (Name == nullptr) {
        return '.';
    }
    // Query the named locale without touching the process's own C locale.
    locale_t Loc = newlocale(LC_NUMERIC_MASK, Name, static_cast<locale_t>(nullptr));
    if (Loc == static_cast<locale_t>(nullptr)) {
        return '.';
    }
    const char* Radix = nl_langinfo_l(RADIXCHAR, Loc);
    char Result = '.';
    if (Radix != nullptr && std::strlen(Radix) == 1) {
        Result = Radix[0];
    }
    freelocale(Loc);
    return Result;
}

bool AppendCodePageCharacter(std::string& Out, unsigned CodePage, unsigned char Byte) {
    thread_local TConverter Cp1250("WINDOWS-1250");
    thread_local TConverter Cp1252("WINDOWS-1252");
    return (CodePage == 1250 ? Cp1250 : Cp1252).Append(Out, Byte);
}

int PathStatus(const std::string& Path, bool FollowLinks, TFileStatus& Out) {
    struct stat St {};
    if ((FollowLinks ? stat(Path.c_str(), &St) : lstat(Path.c_str(), &St)) != 0) {
        return errno;
    }
    Out = StatusOf(St);
    return 0;
}

bool IsSameFile(const TFileStatus& A, const TFileStatus& B) { return A.Device == B.Device && A.Identity == B.Identity; }

int ResolvePath(const std::string& Path, std::string& Out) {
    const std::unique_ptr<char, decltype(&std::free)> Resolved(realpath(Path.c_str(), nullptr), &std::free);
    if (!Resolved) {
        return errno;
    }
    Out = Resolved.get();
    return 0;
}

int CheckWritable(const std::string& Path) { return ErrorOf(access(Path.c_str(), W_OK)); }

int RemoveFile(const std::string& Path) { return ErrorOf(unlink(Path.c_str())); }

int RenameOver(const std::string& From, const std::string& To) { return ErrorOf(rename(From.c_str(), To.c_str())); }

void FlushFolder(const std::string& Folder) {
    const int Dir = open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Dir >= 0) {
        fsync(Dir);
        close(Dir);
    }
}

std::vector<std::string> FolderEntries(const std::string& Folder) {
    std::vector<std::string> Names;
    DIR* Dir = opendir(Folder.c_str());
    if (Dir == nullptr) {
        return Names;
    }
    while (const dirent* Entry = readdir(Dir)) {
        Names.emplace_back(Entry->d_name);
    }
    closedir(Dir);
    return Names;
}

std::size_t NameStart(const std::string& Path) {
    const std::size_t Slash = Path.rfind('/');
    return Slash == std::string::npos ? 0 : Slash + 1;
}

long CurrentProcessId() { return static_cast<long>(getpid()); }

bool ProcessIsGone(long Pid) { return kill(static_cast<pid_t>(Pid), 0) != 0 && errno == ESRCH; }

TSystemFile::~TSystemFile() {
    if (IsOpen()) {
        close(Fd(FHandle));
    }
}

namespace {

// Repeats Call while a signal interrupts it; the error, or 0 with Done the
// bytes it moved.
template <typename TCall> int Retried(TCall Call, std::size_t& Done) {
    for (;;) {
        const ssize_t N = Call();
        if (N >= 0) {
            Done = static_cast<std::size_t>(N);
            return 0;
        }
        if (errno != EINTR) {
            return errno;
        }
    }
}

int Opened(std::intptr_t& Handle, int Fd) {
    if (Fd < 0) {
        return errno;
    }
    Handle = Fd;
    return 0;
}

} // namespace

int TSystemFile::OpenForReading(const std::string& Path) {
    // Non-blocking, so that a named pipe without a writer does not stop the
    // program in open(); regular files ignore it.
    return Opened(FHandle, open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
}

int TSystemFile::OpenForUpdate(const std::string& Path, bool FollowLinks) {
    return Opened(FHandle, open(Path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | (FollowLinks ? 0 : O_NOFOLLOW)));
}

int TSystemFile::CreateUnnamed(const std::string& Folder) {
    return Opened(FHandle, open(Folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
}

int TSystemFile::CreateNew(const std::string& Path) {
    return Opened(FHandle, open(Path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
}

int TSystemFile::Link(const std::string& Path) {
    const std::string Proc = "/proc/self/fd/" + std::to_string(Fd(FHandle));
    if (linkat(AT_FDCWD, Proc.c_str(), AT_FDCWD, Path.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
        linkat(Fd(FHandle), "", AT_FDCWD, Path.c_str(), AT_EMPTY_PATH) == 0) {
        return 0;
    }
    return errno;
}

int TSystemFile::Status(TFileStatus& Out) const {
    struct stat St {};
    if (fstat(Fd(FHandle), &St) != 0) {
        return errno;
    }
    Out = StatusOf(St);
    return 0;
}

int TSystemFile::Read(char* Data, std::size_t Size, std::size_t& Got) {
    return Retried([&] { return read(Fd(FHandle), Data, Size); }, Got);
}

int TSystemFile::ReadAt(char* Data, std::size_t Size, std::uint64_t Offset, std::size_t& Got) {
    return Retried([&] { return pread(Fd(FHandle), Data, Size, static_cast<off_t>(Offset)); }, Got);
}

int TSystemFile::WriteAt(const char* Data, std::size_t Size, std::uint64_t Offset, std::size_t& Written) {
    return Retried([&] { return pwrite(Fd(FHandle), Data, Size, static_cast<off_t>(Offset)); }, Written);
}

int TSystemFile::Reserve(std::uint64_t Size) { return posix_fallocate(Fd(FHandle), 0, static_cast<off_t>(Size)); }

int TSystemFile::Resize(std::uint64_t Size) { return ErrorOf(ftruncate(Fd(FHandle), static_cast<off_t>(Size))); }

int TSystemFile::Flush() { return ErrorOf(fsync(Fd(FHandle))); }

bool TSystemFile::Lock() {
    // An open file description's lock: it is not lost when another
    // descriptor of the same file in this process is closed.
    struct flock Lock {};
    Lock.l_type = F_WRLCK;
    Lock.l_whence = SEEK_SET;
    return fcntl(Fd(FHandle), F_OFD_SETLK, &Lock) == 0;
}

void TSystemFile::TakeOwnerAndMode(const TFileStatus& Of) {
    // The permissions come after the owner, as a change of owner clears
    // some of them; failures leave the new file's own.
    if (fchown(Fd(FHandle), Of.Owner, Of.Group) != 0) {
        (void)fchown(Fd(FHandle), static_cast<uid_t>(-1), Of.Group);
    }
    (void)fchmod(Fd(FHandle), Of.Mode);
}

int TSystemFile::Close() {
    const int Result = close(Fd(FHandle));
    FHandle = KClosed;
    return ErrorOf(Result);
}

} // namespace psykrona
