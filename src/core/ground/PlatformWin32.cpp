#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which they need.
#include <shellapi.h>
#include <shlobj.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

// windows.h names its own ReplaceFile (a macro); ours is the one meant here.
#undef ReplaceFile

#include "core/ground/Platform.h"

// The Win32 side of the platform seam. Paths are handed to the wide (UTF-16)
// calls as std::filesystem::path keeps them, so no name goes through the ANSI
// code page; texts for the user are UTF-8.

namespace kelvane::platform {

namespace {

// The errno value nearest a Win32 error, so callers report failures alike on
// every platform.
int ErrnoOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_NAME:
            return ENOENT;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_PRIVILEGE_NOT_HELD:
            return EACCES;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EBUSY;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_NOT_SAME_DEVICE:
            return EXDEV;
        case ERROR_DIR_NOT_EMPTY:
            return ENOTEMPTY;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_DIRECTORY:
            return ENOTDIR;
        default:
            return EIO;
    }
}

void SetErrnoFromLastError() {
    errno = ErrnoOf(::GetLastError());
}

std::string Utf8Of(const wchar_t* text, int length) {
    if (length == 0) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string result(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), size, nullptr, nullptr);
    return result;
}

std::wstring WideOf(std::string_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    if (size <= 0) return {};
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), length, result.data(), size);
    return result;
}

std::chrono::system_clock::time_point TimeOf(const FILETIME& time) {
    // FILETIME counts 100 ns steps from 1601-01-01; the system clock from 1970.
    constexpr std::int64_t From1601To1970 = 116444736000000000LL;
    const std::int64_t ticks = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::nanoseconds((ticks - From1601To1970) * 100)));
}

FILETIME FileTimeOf(std::time_t moment) {
    constexpr std::int64_t From1601To1970 = 116444736000000000LL;
    const auto ticks =
        static_cast<std::uint64_t>(static_cast<std::int64_t>(moment) * 10000000LL + From1601To1970);
    FILETIME time{};
    time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

// The DOS device names are devices in every folder and with any extension
// ("C:\logs\com1.txt" is the serial port); opening one may act on the device.
bool IsDeviceName(const std::filesystem::path& path) {
    const std::wstring& text = path.native();
    if (text.rfind(L"\\\\.\\", 0) == 0 || text.rfind(L"//./", 0) == 0) return true;
    std::wstring stem = path.filename().native();
    stem = stem.substr(0, stem.find(L'.'));
    while (!stem.empty() && (stem.back() == L' ' || stem.back() == L':')) stem.pop_back();
    for (wchar_t& c : stem)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL" || stem == L"CONIN$" ||
        stem == L"CONOUT$")
        return true;
    return stem.size() == 4 && (stem.rfind(L"COM", 0) == 0 || stem.rfind(L"LPT", 0) == 0) &&
           stem[3] >= L'1' && stem[3] <= L'9';
}

std::string ErrorText(int error) {
    return std::strerror(error);
}

HANDLE HandleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

std::filesystem::path KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR text = nullptr;
    std::filesystem::path folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &text)) && text) folder = text;
    ::CoTaskMemFree(text);
    return folder;
}

}  // namespace

int CurrentProcessId() {
    return static_cast<int>(::GetCurrentProcessId());
}

bool ProcessIsRunning(int processId) {
    if (processId <= 0) return false;
    HANDLE process =
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(processId));
    // A process we may not look at still exists.
    if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

std::optional<std::tm> LocalTime(std::time_t moment) {
    std::tm local{};
    if (::localtime_s(&local, &moment) != 0) return std::nullopt;
    return local;
}

std::optional<std::chrono::system_clock::time_point> ModificationTime(const std::filesystem::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return TimeOf(data.ftLastWriteTime);
}

bool SetModificationTime(const std::filesystem::path& path, std::time_t moment) {
    HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        SetErrnoFromLastError();
        return false;
    }
    const FILETIME time = FileTimeOf(moment);
    const bool set = ::SetFileTime(file, nullptr, &time, &time);
    if (!set) SetErrnoFromLastError();
    ::CloseHandle(file);
    return set;
}

bool IsReadOnly(const std::filesystem::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool MakeWritable(const std::filesystem::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    const DWORD writable = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    return ::SetFileAttributesW(path.c_str(), writable ? writable : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool IsRunningProgram(const std::filesystem::path& path) {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return false;
        if (length < name.size()) {
            name.resize(length);
            break;
        }
        name.resize(name.size() * 2);
    }
    std::error_code error;
    return std::filesystem::equivalent(path, std::filesystem::path(name), error);
}

bool RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
    // Without MOVEFILE_REPLACE_EXISTING the system refuses an existing target.
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
    SetErrnoFromLastError();
    return false;
}

bool ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    SetErrnoFromLastError();
    return false;
}

TNewFileResult WriteNewFileDurably(const std::filesystem::path& path, std::string_view bytes,
                                   const std::filesystem::path& modeFrom) {
    // The new file takes the old one's hidden and indexing marks, never its
    // read-only one: that would stop the file from replacing the old one.
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    const DWORD old = ::GetFileAttributesW(modeFrom.c_str());
    if (old != INVALID_FILE_ATTRIBUTES && !(old & FILE_ATTRIBUTE_DIRECTORY)) {
        const DWORD kept =
            old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_ARCHIVE);
        if (kept) attributes = kept;
    }
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        errno = ErrnoOf(error);
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? TNewFileResult::AlreadyExists
                                                                           : TNewFileResult::Failed;
    }
    bool written = true;
    while (written && !bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD done = 0;
        written = ::WriteFile(file, bytes.data(), chunk, &done, nullptr) && done > 0;
        if (written) bytes.remove_prefix(done);
    }
    written = written && ::FlushFileBuffers(file);
    const int error = written ? 0 : ErrnoOf(::GetLastError());
    ::CloseHandle(file);
    if (written) return TNewFileResult::Written;
    ::DeleteFileW(path.c_str());
    errno = error;
    return TNewFileResult::Failed;
}

void FlushFolder(const std::filesystem::path&) {
    // The renames here are written through (MOVEFILE_WRITE_THROUGH): the
    // folder's entries are durable once they return.
}

TReadOnlyFile::~TReadOnlyFile() {
    if (FHandle != -1) ::CloseHandle(HandleOf(FHandle));
}

bool TReadOnlyFile::Open(const std::filesystem::path& path, std::string& error) {
    // A pipe, a console or a serial port is never opened: that alone may wait
    // or act on the device.
    if (IsDeviceName(path)) {
        error = "not a regular file";
        return false;
    }
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = ErrorText(ErrnoOf(::GetLastError()));
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        error = "not a regular file";
        return false;
    }
    // Others may go on writing, renaming or deleting the file while we read.
    HANDLE handle =
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = ErrorText(ErrnoOf(::GetLastError()));
        return false;
    }
    LARGE_INTEGER size{};
    if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileSizeEx(handle, &size)) {
        error = "not a regular file";
        ::CloseHandle(handle);
        return false;
    }
    if (FHandle != -1) ::CloseHandle(HandleOf(FHandle));
    FHandle = reinterpret_cast<std::intptr_t>(handle);
    FSize = static_cast<std::uint64_t>(size.QuadPart);
    return true;
}

std::int64_t TReadOnlyFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t length) const {
    std::size_t done = 0;
    while (done < length) {
        // Each read names its own offset, so threads may read at once.
        OVERLAPPED at{};
        const std::uint64_t position = offset + done;
        at.Offset = static_cast<DWORD>(position & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(length - done, 1u << 30));
        DWORD read = 0;
        if (!::ReadFile(HandleOf(FHandle), buffer + done, chunk, &read, &at)) {
            if (::GetLastError() == ERROR_HANDLE_EOF) break;
            SetErrnoFromLastError();
            return -1;
        }
        if (read == 0) break;
        done += read;
    }
    return static_cast<std::int64_t>(done);
}

void* AllocatePages(std::size_t bytes) {
    if (bytes == 0) return nullptr;
    return ::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void FreePages(void* data, std::size_t) {
    if (data) ::VirtualFree(data, 0, MEM_RELEASE);
}

void PrepareLargeBlock(void*, std::size_t, bool) {
    // Large pages need a privilege users do not hold; the pages fault in as they are filled.
}

std::vector<std::string> ProgramArguments(int, char**) {
    // The narrow arguments went through the ANSI code page; the wide command line did not.
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide) return arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(Utf8Of(wide[i], static_cast<int>(std::wcslen(wide[i]))));
    ::LocalFree(wide);
    return arguments;
}

void UseBinaryStandardStreams() {
    // Text mode would turn every "\n" into "\r\n" and the lines that end in
    // "\r\n" already into "\r\r\n".
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
}

std::filesystem::path DebugLogFolder() {
    return std::filesystem::path(L"c:\\temp\\");
}

std::optional<TSystemFolders> SystemFolders() {
    TSystemFolders folders;
    folders.MachineData = KnownFolder(FOLDERID_ProgramData);
    folders.RoamingUserData = KnownFolder(FOLDERID_RoamingAppData);
    folders.LocalUserData = KnownFolder(FOLDERID_LocalAppData);
    folders.ProgramFiles = KnownFolder(FOLDERID_ProgramFiles);
    return folders;
}

bool SameFileNameText(std::string_view a, std::string_view b) {
    // The file system's own rule: every letter that has a case, not only ASCII.
    const std::wstring wideA = WideOf(a);
    const std::wstring wideB = WideOf(b);
    return ::CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                  static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace kelvane::platform
