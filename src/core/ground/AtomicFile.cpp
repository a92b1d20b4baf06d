#include "core/ground/AtomicFile.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <system_error>

#include "core/ground/Platform.h"

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
    temp += std::string(TemporaryMark) + std::to_string(platform::CurrentProcessId()) + "-" + hex;
    return temp;
}

// The process id of a temporary of the target named name, or 0 when name is
// not one.
int TemporaryOwner(std::string_view name, std::string_view target) {
    if (!name.starts_with(target)) return 0;
    name.remove_prefix(target.size());
    if (!name.starts_with(TemporaryMark)) return 0;
    name.remove_prefix(TemporaryMark.size());
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos || name.size() - dash - 1 != 16) return 0;
    int pid = 0;
    for (const char c : name.substr(0, dash)) {
        if (c < '0' || c > '9' || pid > 100000000) return 0;
        pid = pid * 10 + (c - '0');
    }
    for (const char c : name.substr(dash + 1))
        if (!std::isxdigit(static_cast<unsigned char>(c))) return 0;
    return pid;
}

}  // namespace

void RemoveStaleTemporaries(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    const std::string target = path.filename().string();
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const int owner = TemporaryOwner(it->path().filename().string(), target);
        if (owner == 0) continue;
        const bool running = owner == platform::CurrentProcessId() || platform::ProcessIsRunning(owner);
        std::error_code removeError;
        if (!running) std::filesystem::remove(it->path(), removeError);
    }
}

namespace {

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

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& givenPath, std::string_view bytes,
                         std::string* errorText) {
    const std::filesystem::path path = WrittenPath(givenPath);
    RemoveStaleTemporaries(path);
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    platform::TNewFileResult result = platform::TNewFileResult::AlreadyExists;
    std::filesystem::path temp;
    for (int attempt = 0; attempt < 5 && result == platform::TNewFileResult::AlreadyExists; ++attempt) {
        temp = TemporaryNameBeside(path);
        // The new file keeps the permissions of the one it replaces.
        result = platform::WriteNewFileDurably(temp, bytes, path);
    }
    if (result != platform::TNewFileResult::Written) {
        SetError(errorText, path, errno);
        return false;
    }
    if (!platform::ReplaceFile(temp, path)) {
        SetError(errorText, path, errno);
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return false;
    }
    // After the rename, the folder's entry is made durable too.
    platform::FlushFolder(folder);
    return true;
}

bool CanReadFile(const std::filesystem::path& path, std::string& reason) {
    platform::TReadOnlyFile file;
    return file.Open(path, reason);
}

bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::string* reason) {
    std::string why;
    platform::TReadOnlyFile file;
    if (!file.Open(path, why)) {
        if (reason) *reason = why;
        return false;
    }
    bytes.resize(static_cast<std::size_t>(file.Size()));
    const std::int64_t read = file.ReadAt(0, bytes.data(), bytes.size());
    if (read < 0) {
        if (reason) *reason = std::strerror(errno);
        bytes.clear();
        return false;
    }
    // A file cut short meanwhile gives what is still there.
    bytes.resize(static_cast<std::size_t>(read));
    return true;
}

bool DropByteOrderMark(std::string& bytes) {
    if (!std::string_view(bytes).starts_with(Utf8Bom)) return false;
    bytes.erase(0, Utf8Bom.size());
    return true;
}

}  // namespace kelvane
