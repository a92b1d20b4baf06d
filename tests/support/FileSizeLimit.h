#pragma once

#ifdef _WIN32

#include <gtest/gtest.h>

#include <cstdint>

// Windows has no per-process limit on the size of files written, so a test
// that needs a write to fail part way is skipped there, saying why.
#define KELVANE_SKIP_WITHOUT_FILE_SIZE_LIMIT() \
    GTEST_SKIP() << "Windows has no file size limit per process to make a write fail part way"

namespace kelvane {

class TFileSizeLimit {
  public:
    explicit TFileSizeLimit(std::uint64_t) {}
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;
};

}  // namespace kelvane

#else

#include <sys/resource.h>

#include <csignal>

#define KELVANE_SKIP_WITHOUT_FILE_SIZE_LIMIT() static_cast<void>(0)

namespace kelvane {

// Limits the size of files this process may write, so a write fails part way
// even for a user who may write anywhere.
class TFileSizeLimit {
  public:
    explicit TFileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &FOld);
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = FOld;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

  private:
    rlimit FOld{};
    void (*FOldHandler)(int) = nullptr;
};

}  // namespace kelvane

#endif
