#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <system_error>

#include "core/ground/FileNameCase.h"
#include "core/ground/Platform.h"

namespace kelvane::platform {

int CurrentProcessId() {
    return static_cast<int>(::getpid());
}

bool ProcessIsRunning(int processId) {
    if (processId <= 0) return false;
    return ::kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM;
}

std::optional<std::tm> LocalTime(std::time_t moment) {
    std::tm local{};
    if (::localtime_r(&moment, &local) == nullptr) return std::nullopt;
    return local;
}

std::optional<std::chrono::system_clock::time_point> ModificationTime(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds(info.st_mtim.tv_sec) + std::chrono::nanoseconds(info.st_mtim.tv_nsec)));
}

bool SetModificationTime(const std::filesystem::path& path, std::time_t moment) {
    const timespec times[2] = {{moment, 0}, {moment, 0}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool IsReadOnly(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool MakeWritable(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && ::chmod(path.c_str(), (info.st_mode & 07777) | S_IWUSR) == 0;
}

bool IsRunningProgram(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::equivalent(path, "/proc/self/exe", error);
}

bool RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // The file system cannot refuse replacing by itself.
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(to, error))) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

TNewFileResult WriteNewFileDurably(const std::filesystem::path& path, std::string_view bytes,
                                   const std::filesystem::path& modeFrom) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return errno == EEXIST ? TNewFileResult::AlreadyExists : TNewFileResult::Failed;
    struct stat existing {};
    if (::stat(modeFrom.c_str(), &existing) == 0) ::fchmod(fd, existing.st_mode & 07777);

    bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    int error = written ? 0 : errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written) return TNewFileResult::Written;
    ::unlink(path.c_str());
    errno = error;
    return TNewFileResult::Failed;
}

void FlushFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

TReadOnlyFile::~TReadOnlyFile() {
    if (FHandle >= 0) ::close(static_cast<int>(FHandle));
}

bool TReadOnlyFile::Open(const std::filesystem::path& path, std::string& error) {
    // Without O_NONBLOCK, opening a named pipe waits for a writer for ever.
    const int handle = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (handle < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(handle, &info) != 0) {
        error = std::strerror(errno);
        ::close(handle);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "not a regular file";
        ::close(handle);
        return false;
    }
    if (FHandle >= 0) ::close(static_cast<int>(FHandle));
    FHandle = handle;
    FSize = static_cast<std::uint64_t>(info.st_size);
    return true;
}

std::int64_t TReadOnlyFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t length) const {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::pread(static_cast<int>(FHandle), buffer + done, length - done,
                                  static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

void* AllocatePages(std::size_t bytes) {
    if (bytes == 0) return nullptr;
    void* const data = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return data == MAP_FAILED ? nullptr : data;
}

void FreePages(void* data, std::size_t bytes) {
    if (data) ::munmap(data, bytes);
}

void PrepareLargeBlock([[maybe_unused]] void* data, [[maybe_unused]] std::size_t bytes,
                       [[maybe_unused]] bool faultIn) {
#if defined(__linux__)
    constexpr std::uintptr_t Page = 4096;
    const auto first = (reinterpret_cast<std::uintptr_t>(data) + Page - 1) & ~(Page - 1);
    const auto last = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(Page - 1);
    if (last <= first) return;
#if defined(MADV_HUGEPAGE)
    ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
#if defined(MADV_POPULATE_WRITE)
    if (faultIn) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#endif
#endif
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

void UseBinaryStandardStreams() {
    // Bytes already pass unchanged.
}

std::filesystem::path DebugLogFolder() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    return error ? std::filesystem::path("/tmp") : folder;
}

std::optional<TSystemFolders> SystemFolders() {
    return std::nullopt;
}

bool SameFileNameText(std::string_view a, std::string_view b) {
    // ASCII letters only: which other letters a case-blind file system folds
    // is not known here.
    return SameTextIgnoringCase(a, b);
}

}  // namespace kelvane::platform
