// Writes a generated device log for comparisons run outside the benchmark programs:
//   kelvane_bench_log LINES PATH [SEED]
// LINES counts the data lines; the header line comes on top.

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <system_error>

#include "GeneratedLog.h"

namespace {

template <typename T>
bool ParseNumber(std::string_view text, T& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t lines = 0;
    std::uint64_t seed = 1;
    if (argc < 3 || argc > 4 || !ParseNumber(argv[1], lines) || (argc == 4 && !ParseNumber(argv[3], seed))) {
        std::fprintf(stderr, "usage: %s LINES PATH [SEED]\n", argv[0]);
        return 2;
    }
    if (!kelvane::WriteGeneratedLog(argv[2], lines, seed)) {
        std::fprintf(stderr, "Cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
