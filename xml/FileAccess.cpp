#include "xml/FileAccess.h"

#include "xml/XmlError.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
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

private:
    int FFd;
    std::string FName;
};

} // namespace

std::string ReadFileBytes(const std::string& FileName, std::size_t MaxSize) {
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
    std::string Bytes;
    std::array<char, 65536> Buffer{};
    for (;;) {
        const ssize_t N = read(Fd, Buffer.data(), Buffer.size());
        if (N == 0) {
            return Bytes;
        }
        if (N < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail("Cannot read", FileName, errno);
        }
        // The size may grow while it is read, or be given as 0 (as for
        // files of /proc).
        if (static_cast<std::size_t>(N) > MaxSize - Bytes.size()) {
            Fail("Cannot read", FileName, EFBIG);
        }
        Bytes.append(Buffer.data(), static_cast<std::size_t>(N));
    }
}

void WriteFileAtomically(const std::string& FileName, std::string_view Bytes) {
    std::string Target = FileName;
    struct stat St;
    bool Exists = lstat(Target.c_str(), &St) == 0;
    if (Exists && S_ISLNK(St.st_mode)) {
        std::array<char, PATH_MAX> Resolved{};
        if (realpath(Target.c_str(), Resolved.data())) {
            Target = Resolved.data();
        }
        Exists = stat(Target.c_str(), &St) == 0;
    }
    if (Exists) {
        if (S_ISDIR(St.st_mode)) {
            Fail("Cannot write", FileName, EISDIR);
        }
        // Renaming would replace even a read-only file; honour the protection.
        if (access(Target.c_str(), W_OK) != 0) {
            Fail("Cannot write", FileName, errno);
        }
    }

    const std::size_t Slash = Target.rfind('/');
    const std::string Folder = Slash == std::string::npos ? std::string(".") : Target.substr(0, Slash + 1);
    const std::string Base = Slash == std::string::npos ? Target : Target.substr(Slash + 1);
    static std::atomic<unsigned> Counter{0};
    int Fd = -1;
    std::string TempName;
    for (int Attempt = 0; Fd < 0; ++Attempt) {
        TempName = (Slash == std::string::npos ? std::string() : Folder) + "." + Base + "." +
                   std::to_string(getpid()) + "." + std::to_string(Counter++) + ".tmp";
        Fd = open(TempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (Fd < 0 && (errno != EEXIST || Attempt >= 100)) {
            Fail("Cannot write", FileName, errno);
        }
    }
    TFileGuard Temp(Fd, TempName);
    if (Exists) {
        fchmod(Fd, St.st_mode & 07777);
    }
    std::size_t Done = 0;
    while (Done < Bytes.size()) {
        const ssize_t N = write(Fd, Bytes.data() + Done, Bytes.size() - Done);
        if (N < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail("Cannot write", FileName, errno);
        }
        Done += static_cast<std::size_t>(N);
    }
    if (fsync(Fd) != 0 || Temp.Close() != 0) {
        Fail("Cannot write", FileName, errno);
    }
    if (rename(TempName.c_str(), Target.c_str()) != 0) {
        Fail("Cannot write", FileName, errno);
    }
    Temp.Release();
    // Makes the rename itself durable; a failure here leaves a complete file.
    const int Dir = open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Dir >= 0) {
        fsync(Dir);
        close(Dir);
    }
}

} // namespace psykrona
