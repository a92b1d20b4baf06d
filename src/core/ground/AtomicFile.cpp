#include "core/ground/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace kelvane {

namespace {

std::filesystem::path TemporaryNameBeside(const std::filesystem::path& path) {
    static std::atomic<unsigned> counter{0};
    std::filesystem::path temp = path;
    temp += ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    return temp;
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

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string* errorText) {
    const std::filesystem::path temp = TemporaryNameBeside(path);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        SetError(errorText, path, errno);
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
