#include "core/ground/AtomicFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <system_error>

namespace kelvane {

namespace {

constexpr std::string_view TemporaryMark = ".tmp";

// "<target>.tmp<pid>-<16 hex digits>": the process that wrote it, and a part
// that differs between runs, so a process id used again never collides.
std::filesystem::path TemporaryNameBeside(const std::filesystem::path& path) {
    static std::atomic<std::uint64_t> counter{0};
    static const std::uint64_t runKey =
        std::random_device{}() ^ (std::uint64_t{std::random_device{}()} << 32);
    const std::uint64_t unique = runKey + 0x9E3779B97F4A7C15ULL * ++counter;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(unique));
    std::filesystem::path temp = path;
    temp += std::string(TemporaryMark) + std::to_string(::getpid()) + "-" + hex;
    return temp;
}

// The process id of a temporary of the target named name, or 0 when name is
// not one.
pid_t TemporaryOwner(std::string_view name, std::string_view target) {
    if (!name.starts_with(target)) return 0;
    name.remove_prefix(target.size());
    if (!name.starts_with(TemporaryMark)) return 0;
    name.remove_prefix(TemporaryMark.size());
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos || name.size() - dash - 1 != 16) return 0;
    pid_t pid = 0;
    for (const char c : name.substr(0, dash)) {
        if (c < '0' || c > '9' || pid > 100000000) return 0;
        pid = pid * 10 + (c - '0');
    }
    for (const char c : name.substr(dash + 1))
        if (!std::isxdigit(static_cast<unsigned char>(c))) return 0;
    return pid;
}

// Temporaries a save of this target left when its process died; those of a
// process still running may be its save under way and stay.
void RemoveStaleTemporaries(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    const std::string target = path.filename().string();
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const pid_t owner = TemporaryOwner(it->path().filename().string(), target);
        if (owner == 0) continue;
        const bool running = owner == ::getpid() || ::kill(owner, 0) == 0 || errno == EPERM;
        if (!running) ::unlink(it->path().c_str());
    }
}

// After the rename, the folder's entry is made durable too.
void FlushFolderOf(const std::filesystem::path& path) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// A link is written through: its target gets the new contents.
std::filesystem::path WrittenPath(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) return path;
    const std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
    return error ? path : target;
}

void SetError(std::string* errorText, const std::filesystem::path& path, int errorNumber) {
    if (errorText) *errorText = path.string() + ": " + std::strerror(errorNumber);
}

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

bool WriteFileAtomically(const std::filesystem::path& givenPath, std::string_view bytes,
                         std::string* errorText) {
    const std::filesystem::path path = WrittenPath(givenPath);
    RemoveStaleTemporaries(path);
    std::filesystem::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 5 && fd < 0; ++attempt) {
        temp = TemporaryNameBeside(path);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        SetError(errorText, givenPath, errno);
        return false;
    }
    // Keep the permissions of the file being replaced.
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) ::fchmod(fd, existing.st_mode & 07777);

    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        SetError(errorText, path, written ? errno : writeError);
        ::unlink(temp.c_str());
        return false;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        SetError(errorText, path, errno);
        ::unlink(temp.c_str());
        return false;
    }
    FlushFolderOf(path);
    return true;
}

bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const auto size = std::filesystem::file_size(path, error);
    if (error) return false;
    bytes.resize(static_cast<std::size_t>(size));
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return !in.bad();
}

bool DropByteOrderMark(std::string& bytes) {
    if (!std::string_view(bytes).starts_with(Utf8Bom)) return false;
    bytes.erase(0, Utf8Bom.size());
    return true;
}

}  // namespace kelvane
