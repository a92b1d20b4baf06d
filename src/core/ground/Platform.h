#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The operating system's file, process and time services the core needs
// beyond the standard library. Each platform implements this header in a file
// of its own (PlatformPosix.cpp, PlatformWin32.cpp); a port adds a file instead of editing the
// callers. The folder change watch has its own seam (core/projects/FolderWatch.h).
namespace kelvane::platform {

int CurrentProcessId();
// True when a process of that id exists, including one we may not signal.
bool ProcessIsRunning(int processId);

// Local calendar time of a moment; nothing when the system cannot tell.
std::optional<std::tm> LocalTime(std::time_t moment);

// The moment a file's contents last changed, to the system's precision.
std::optional<std::chrono::system_clock::time_point> ModificationTime(const std::filesystem::path& path);
// Sets a file's modification (and access) time; false, with errno, when that failed.
bool SetModificationTime(const std::filesystem::path& path, std::time_t moment);
// True when nobody may write the file (no write permission bit at all, or
// the read-only attribute).
bool IsReadOnly(const std::filesystem::path& path);
// Gives the owner write permission; false when that failed.
bool MakeWritable(const std::filesystem::path& path);
// True when path is the running program's own file.
bool IsRunningProgram(const std::filesystem::path& path);

// A rename that never replaces an existing target.
bool RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);
// A rename that replaces the target in one step.
bool ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

enum class TNewFileResult { Written, AlreadyExists, Failed };

// Creates path only when nothing of that name exists, writes bytes and makes
// them durable before returning; takes the permissions of modeFrom when that
// file exists. On Failed the file is removed again. The system's error number
// stays in errno.
TNewFileResult WriteNewFileDurably(const std::filesystem::path& path, std::string_view bytes,
                                   const std::filesystem::path& modeFrom);
// Makes a folder's entries (a rename into it) durable.
void FlushFolder(const std::filesystem::path& folder);

// A regular file open for reading at any offset, from several threads at once.
class TReadOnlyFile {
  public:
    TReadOnlyFile() = default;
    ~TReadOnlyFile();
    TReadOnlyFile(const TReadOnlyFile&) = delete;
    TReadOnlyFile& operator=(const TReadOnlyFile&) = delete;

    // Opens path when it is a regular file (never waiting on a pipe or a device);
    // otherwise false, with error saying why ("not a regular file", or the system's reason).
    bool Open(const std::filesystem::path& path, std::string& error);
    // The size when opened: a file that grows meanwhile is read to that size.
    std::uint64_t Size() const { return FSize; }
    // Reads length bytes at offset into buffer, fewer only at the end of the file.
    // The count read, or -1 with errno set.
    std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t length) const;

  private:
    std::intptr_t FHandle = -1;  // a descriptor or a handle, as the system gives it
    std::uint64_t FSize = 0;
};

// Memory straight from the system, given back to it the moment it is freed (a
// heap may keep freed blocks for reuse). Null when there is none.
void* AllocatePages(std::size_t bytes);
void FreePages(void* data, std::size_t bytes);

// A hint for a large block of memory that is about to be filled: back it with
// large pages where the system offers them and, with faultIn, fault its pages
// in at once. Nothing depends on the hint being taken.
void PrepareLargeBlock(void* data, std::size_t bytes, bool faultIn);

// The program's arguments after its name, in UTF-8 whatever the system's code page.
std::vector<std::string> ProgramArguments(int argc, char** argv);
// Standard output and error pass bytes as they are (no line-end translation).
void UseBinaryStandardStreams();

// Where the debug log file is looked for ("c:\temp\" on Windows, the temp
// folder elsewhere).
std::filesystem::path DebugLogFolder();

// The shell's folders on a system that has them (Windows); nothing elsewhere.
struct TSystemFolders {
    std::filesystem::path MachineData;      // per-machine application data
    std::filesystem::path RoamingUserData;  // per-user roaming application data
    std::filesystem::path LocalUserData;    // per-user local application data (holds VirtualStore)
    std::filesystem::path ProgramFiles;     // where programs are installed
};
std::optional<TSystemFolders> SystemFolders();

// Two file names (UTF-8) that differ at most in case, by the file system's own
// case rule.
bool SameFileNameText(std::string_view a, std::string_view b);

}  // namespace kelvane::platform
