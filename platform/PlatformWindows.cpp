#include "platform/Platform.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace psykrona {

namespace {

// Every file is opened so that others (and this process) may still read,
// write, rename and delete it, as on POSIX systems.
constexpr DWORD KShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// ERROR_DISK_QUOTA_EXCEEDED, which MinGW's headers lack.
constexpr DWORD KDiskQuotaExceeded = 1295;

// Windows' error as the C library's number, so that messages and checks
// read alike on every system.
int ErrorNumber(DWORD Error) {
    switch (Error) {
    case ERROR_SUCCESS:
        return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case KDiskQuotaExceeded:
        return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
        return ENOTSUP;
    case ERROR_BUSY:
    case ERROR_PATH_BUSY:
    case ERROR_USER_MAPPED_FILE:
        return EBUSY;
    case ERROR_INVALID_PARAMETER:
    case ERROR_NEGATIVE_SEEK:
        return EINVAL;
    case ERROR_CANT_RESOLVE_FILENAME:
        return ELOOP;
    default:
        return EIO;
    }
}

int LastError() { return ErrorNumber(GetLastError()); }

// UTF-8 as Windows' wide characters; empty for text that is not UTF-8, which
// no file has as its name.
std::wstring Wide(const std::string& Utf8) {
    if (Utf8.empty() || Utf8.size() > INT_MAX) {
        return {};
    }
    const int Size = static_cast<int>(Utf8.size());
    const int N = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, Utf8.data(), Size, nullptr, 0);
    if (N <= 0) {
        return {};
    }
    std::wstring Out(static_cast<std::size_t>(N), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, Utf8.data(), Size, Out.data(), N);
    return Out;
}

std::string Narrow(const wchar_t* Text, std::size_t Length) {
    if (Length == 0 || Length > INT_MAX) {
        return {};
    }
    const int Size = static_cast<int>(Length);
    const int N = WideCharToMultiByte(CP_UTF8, 0, Text, Size, nullptr, 0, nullptr, nullptr);
    if (N <= 0) {
        return {};
    }
    std::string Out(static_cast<std::size_t>(N), '\0');
    WideCharToMultiByte(CP_UTF8, 0, Text, Size, Out.data(), N, nullptr, nullptr);
    return Out;
}

// A path the system gave, without the prefix of its long form.
std::string PlainPath(std::wstring Path) {
    if (Path.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        Path.replace(0, 8, L"\\\\");
    } else if (Path.rfind(L"\\\\?\\", 0) == 0) {
        Path.erase(0, 4);
    }
    return Narrow(Path.data(), Path.size());
}

HANDLE HandleOf(std::intptr_t Handle) { return reinterpret_cast<HANDLE>(Handle); }

std::uint64_t Join(DWORD High, DWORD Low) { return (static_cast<std::uint64_t>(High) << 32) | Low; }

TFileKind KindOfAttributes(DWORD Attributes) {
    if ((Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return TFileKind::Folder;
    }
    if ((Attributes & FILE_ATTRIBUTE_DEVICE) != 0) {
        return TFileKind::Device;
    }
    return TFileKind::Regular;
}

// Windows has a read-only attribute where POSIX systems have permissions.
std::uint32_t ModeOfAttributes(DWORD Attributes) {
    return (Attributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444 : 0666;
}

int HandleStatus(HANDLE Handle, TFileStatus& Out) {
    Out = TFileStatus{};
    switch (GetFileType(Handle)) {
    case FILE_TYPE_DISK:
        break;
    case FILE_TYPE_CHAR:
        Out.Kind = TFileKind::Device;
        return 0;
    case FILE_TYPE_PIPE:
        Out.Kind = TFileKind::Pipe;
        return 0;
    default:
        if (GetLastError() != NO_ERROR) {
            return LastError();
        }
        Out.Kind = TFileKind::Other;
        return 0;
    }
    BY_HANDLE_FILE_INFORMATION Info{};
    if (!GetFileInformationByHandle(Handle, &Info)) {
        return LastError();
    }
    Out.Kind = KindOfAttributes(Info.dwFileAttributes);
    Out.Size = Join(Info.nFileSizeHigh, Info.nFileSizeLow);
    Out.Device = Info.dwVolumeSerialNumber;
    Out.Identity = Join(Info.nFileIndexHigh, Info.nFileIndexLow);
    Out.Mode = ModeOfAttributes(Info.dwFileAttributes);
    return 0;
}

// Whether the reparse point open as Handle is a symbolic link or a junction
// (and not, say, a file kept in the cloud, which reads like any other).
bool IsLink(HANDLE Handle) {
    FILE_ATTRIBUTE_TAG_INFO Tag{};
    return GetFileInformationByHandleEx(Handle, FileAttributeTagInfo, &Tag, sizeof Tag) &&
           (Tag.ReparseTag == IO_REPARSE_TAG_SYMLINK || Tag.ReparseTag == IO_REPARSE_TAG_MOUNT_POINT);
}

HANDLE OpenAttributes(const std::wstring& Path, bool FollowLinks) {
    // Backup semantics open folders too.
    return CreateFileW(Path.c_str(), FILE_READ_ATTRIBUTES, KShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | (FollowLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
}

int Opened(std::intptr_t& Handle, HANDLE Opened) {
    if (Opened == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    Handle = reinterpret_cast<std::intptr_t>(Opened);
    return 0;
}

int SetLength(HANDLE Handle, std::uint64_t Size) {
    FILE_END_OF_FILE_INFO End{};
    End.EndOfFile.QuadPart = static_cast<LONGLONG>(Size);
    return SetFileInformationByHandle(Handle, FileEndOfFileInfo, &End, sizeof End) ? 0 : LastError();
}

OVERLAPPED At(std::uint64_t Offset) {
    OVERLAPPED Where{};
    Where.Offset = static_cast<DWORD>(Offset);
    Where.OffsetHigh = static_cast<DWORD>(Offset >> 32);
    return Where;
}

// One call reads or writes at most this much; callers loop.
DWORD Piece(std::size_t Size) { return static_cast<DWORD>(std::min<std::size_t>(Size, DWORD(1) << 30)); }

} // namespace

// std::free must release it, so no _aligned_malloc; the system pages
// large allocations in on demand anyway.
char* AllocateLargeBuffer(std::size_t Size) { return static_cast<char*>(std::malloc(Size)); }

std::string ProgramFolder() {
    std::wstring Path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD N = GetModuleFileNameW(nullptr, Path.data(), static_cast<DWORD>(Path.size()));
        if (N == 0) {
            return "./";
        }
        if (N < Path.size()) {
            Path.resize(N);
            break;
        }
        if (Path.size() >= 32768) {
            return "./";
        }
        Path.resize(Path.size() * 2);
    }
    // The rest of the program adds names with "/", which Windows takes too.
    std::string Folder = PlainPath(Path);
    std::replace(Folder.begin(), Folder.end(), '\\', '/');
    return Folder.substr(0, Folder.rfind('/') + 1);
}

char UserDecimalSeparator() noexcept {
    std::array<wchar_t, 8> Separator{};
    const int N = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, Separator.data(),
                                  static_cast<int>(Separator.size()));
    // N counts the closing null: one character, and one byte in UTF-8.
    if (N == 2 && Separator[0] > 0 && Separator[0] < 0x80) {
        return static_cast<char>(Separator[0]);
    }
    return '.';
}

bool AppendCodePageCharacter(std::string& Out, unsigned CodePage, unsigned char Byte) {
    const char In = static_cast<char>(Byte);
    wchar_t Character = 0;
    if (MultiByteToWideChar(CodePage, MB_ERR_INVALID_CHARS, &In, 1, &Character, 1) != 1) {
        return false;
    }
    const std::string Utf8 = Narrow(&Character, 1);
    if (Utf8.empty()) {
        return false;
    }
    Out += Utf8;
    return true;
}

int PathStatus(const std::string& Path, bool FollowLinks, TFileStatus& Out) {
    const std::wstring WidePath = Wide(Path);
    WIN32_FILE_ATTRIBUTE_DATA Data{};
    if (!GetFileAttributesExW(WidePath.c_str(), GetFileExInfoStandard, &Data)) {
        return LastError();
    }
    // The attributes describe a link itself; the handle below, opened
    // through it, its target.
    Out = TFileStatus{};
    Out.Kind = KindOfAttributes(Data.dwFileAttributes);
    Out.Size = Join(Data.nFileSizeHigh, Data.nFileSizeLow);
    Out.Mode = ModeOfAttributes(Data.dwFileAttributes);
    const bool Reparse = (Data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const HANDLE Handle = OpenAttributes(WidePath, FollowLinks);
    if (Handle == INVALID_HANDLE_VALUE) {
        // Only a link to nothing fails here; otherwise the file is known,
        // just not its identity.
        return FollowLinks && Reparse ? LastError() : 0;
    }
    TFileStatus Opened;
    const int Error = HandleStatus(Handle, Opened);
    const bool Link = Reparse && !FollowLinks && IsLink(Handle);
    CloseHandle(Handle);
    if (Error != 0) {
        return Error;
    }
    if (FollowLinks) {
        Out = Opened;
    } else {
        Out.Device = Opened.Device;
        Out.Identity = Opened.Identity;
        if (Link) {
            Out.Kind = TFileKind::Link;
        }
    }
    return 0;
}

bool IsSameFile(const TFileStatus& A, const TFileStatus& B) {
    return (A.Device != 0 || A.Identity != 0) && A.Device == B.Device && A.Identity == B.Identity;
}

int ResolvePath(const std::string& Path, std::string& Out) {
    const HANDLE Handle = OpenAttributes(Wide(Path), true);
    if (Handle == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    std::wstring Final(MAX_PATH, L'\0');
    DWORD N = GetFinalPathNameByHandleW(Handle, Final.data(), static_cast<DWORD>(Final.size()), FILE_NAME_NORMALIZED);
    if (N >= Final.size()) {
        Final.resize(N + 1);
        N = GetFinalPathNameByHandleW(Handle, Final.data(), static_cast<DWORD>(Final.size()), FILE_NAME_NORMALIZED);
    }
    const int Error = N == 0 || N >= Final.size() ? LastError() : 0;
    CloseHandle(Handle);
    if (Error != 0) {
        return Error;
    }
    Final.resize(N);
    Out = PlainPath(Final);
    return 0;
}

int CheckWritable(const std::string& Path) {
    const DWORD Attributes = GetFileAttributesW(Wide(Path).c_str());
    if (Attributes == INVALID_FILE_ATTRIBUTES) {
        return LastError();
    }
    return (Attributes & FILE_ATTRIBUTE_READONLY) != 0 ? EACCES : 0;
}

int RemoveFile(const std::string& Path) { return DeleteFileW(Wide(Path).c_str()) ? 0 : LastError(); }

int RenameOver(const std::string& From, const std::string& To) {
    const std::wstring WideFrom = Wide(From);
    const std::wstring WideTo = Wide(To);
    // ReplaceFileW keeps the replaced file's attributes, security and
    // streams, as the POSIX side keeps owner and permissions. Where it
    // cannot (no file there yet, a file system without it, a replacement
    // still open) a plain rename that reaches the disk before it returns.
    if (GetFileAttributesW(WideTo.c_str()) != INVALID_FILE_ATTRIBUTES) {
        if (ReplaceFileW(WideTo.c_str(), WideFrom.c_str(), nullptr,
                         REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr)) {
            return 0;
        }
        const DWORD Error = GetLastError();
        if (Error != ERROR_UNABLE_TO_MOVE_REPLACEMENT && Error != ERROR_UNABLE_TO_REMOVE_REPLACED &&
            Error != ERROR_SHARING_VIOLATION && Error != ERROR_NOT_SUPPORTED && Error != ERROR_INVALID_PARAMETER) {
            return ErrorNumber(Error);
        }
    }
    if (MoveFileExW(WideFrom.c_str(), WideTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return 0;
    }
    return LastError();
}

// Renames were written through (MOVEFILE_WRITE_THROUGH) or journalled by the
// file system; Windows has no folder to flush.
void FlushFolder(const std::string& /*Folder*/) {}

std::vector<std::string> FolderEntries(const std::string& Folder) {
    std::vector<std::string> Names;
    WIN32_FIND_DATAW Entry{};
    const HANDLE Find = FindFirstFileW(Wide(Folder + "*").c_str(), &Entry);
    if (Find == INVALID_HANDLE_VALUE) {
        return Names;
    }
    do {
        Names.push_back(Narrow(Entry.cFileName, wcslen(Entry.cFileName)));
    } while (FindNextFileW(Find, &Entry));
    FindClose(Find);
    return Names;
}

std::size_t NameStart(const std::string& Path) {
    const std::size_t Separator = Path.find_last_of("/\\");
    return Separator == std::string::npos ? 0 : Separator + 1;
}

long CurrentProcessId() { return static_cast<long>(GetCurrentProcessId()); }

bool ProcessIsGone(long Pid) {
    const HANDLE Process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(Pid));
    if (Process == nullptr) {
        // Any other refusal (access denied) means it runs.
        return GetLastError() == ERROR_INVALID_PARAMETER;
    }
    DWORD Code = 0;
    const bool Ended = GetExitCodeProcess(Process, &Code) && Code != STILL_ACTIVE;
    CloseHandle(Process);
    return Ended;
}

TSystemFile::~TSystemFile() {
    if (IsOpen()) {
        CloseHandle(HandleOf(FHandle));
    }
}

int TSystemFile::OpenForReading(const std::string& Path) {
    // Backup semantics open a folder too, which its status then refuses.
    return Opened(FHandle, CreateFileW(Wide(Path).c_str(), GENERIC_READ, KShareAll, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

int TSystemFile::OpenForUpdate(const std::string& Path, bool FollowLinks) {
    return Opened(FHandle,
                  CreateFileW(Wide(Path).c_str(), GENERIC_READ | GENERIC_WRITE, KShareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | (FollowLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr));
}

// Windows cannot give a name to a file created without one.
int TSystemFile::CreateUnnamed(const std::string& /*Folder*/) { return ENOTSUP; }

int TSystemFile::CreateNew(const std::string& Path) {
    return Opened(FHandle, CreateFileW(Wide(Path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, KShareAll, nullptr,
                                       CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

int TSystemFile::Link(const std::string& /*Path*/) { return ENOTSUP; }

int TSystemFile::Status(TFileStatus& Out) const { return HandleStatus(HandleOf(FHandle), Out); }

int TSystemFile::Read(char* Data, std::size_t Size, std::size_t& Got) {
    DWORD N = 0;
    Got = 0;
    if (!ReadFile(HandleOf(FHandle), Data, Piece(Size), &N, nullptr)) {
        const DWORD Error = GetLastError();
        // A pipe whose writer has gone ends like a file.
        return Error == ERROR_BROKEN_PIPE || Error == ERROR_HANDLE_EOF ? 0 : ErrorNumber(Error);
    }
    Got = N;
    return 0;
}

int TSystemFile::ReadAt(char* Data, std::size_t Size, std::uint64_t Offset, std::size_t& Got) {
    DWORD N = 0;
    Got = 0;
    OVERLAPPED Where = At(Offset);
    if (!ReadFile(HandleOf(FHandle), Data, Piece(Size), &N, &Where)) {
        const DWORD Error = GetLastError();
        return Error == ERROR_HANDLE_EOF ? 0 : ErrorNumber(Error);
    }
    Got = N;
    return 0;
}

int TSystemFile::WriteAt(const char* Data, std::size_t Size, std::uint64_t Offset, std::size_t& Written) {
    DWORD N = 0;
    Written = 0;
    OVERLAPPED Where = At(Offset);
    if (!WriteFile(HandleOf(FHandle), Data, Piece(Size), &N, &Where)) {
        return LastError();
    }
    Written = N;
    return 0;
}

int TSystemFile::Reserve(std::uint64_t Size) {
    // The clusters first, so that a full disk shows before any byte is
    // written; then the length, which posix_fallocate also sets.
    FILE_ALLOCATION_INFO Allocation{};
    Allocation.AllocationSize.QuadPart = static_cast<LONGLONG>(Size);
    if (!SetFileInformationByHandle(HandleOf(FHandle), FileAllocationInfo, &Allocation, sizeof Allocation)) {
        return LastError();
    }
    LARGE_INTEGER Current{};
    if (!GetFileSizeEx(HandleOf(FHandle), &Current)) {
        return LastError();
    }
    return static_cast<std::uint64_t>(Current.QuadPart) < Size ? SetLength(HandleOf(FHandle), Size) : 0;
}

int TSystemFile::Resize(std::uint64_t Size) { return SetLength(HandleOf(FHandle), Size); }

int TSystemFile::Flush() { return FlushFileBuffers(HandleOf(FHandle)) ? 0 : LastError(); }

bool TSystemFile::Lock() {
    OVERLAPPED Whole{};
    return LockFileEx(HandleOf(FHandle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                      &Whole);
}

// A new file takes the folder's security, and ReplaceFileW gives it the
// replaced file's; there are no owner ids or permission bits to copy.
void TSystemFile::TakeOwnerAndMode(const TFileStatus& /*Of*/) {}

int TSystemFile::Close() {
    const bool Closed = CloseHandle(HandleOf(FHandle));
    FHandle = KClosed;
    return Closed ? 0 : LastError();
}

} // namespace psykrona
