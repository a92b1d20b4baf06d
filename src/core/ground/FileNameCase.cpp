#include "core/ground/FileNameCase.h"

#include <atomic>

#include "core/ground/Platform.h"

namespace kelvane {

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool PlatformIgnoresCase =
#if defined(_WIN32) || defined(__APPLE__)
    true;
#else
    false;
#endif

enum TRule : int { PlatformRule, ExactRule, IgnoreCaseRule };

// Any thread may compare file names.
std::atomic<int> Rule{PlatformRule};

}  // namespace

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

bool FileNamesIgnoreCase() {
    const int rule = Rule.load(std::memory_order_relaxed);
    return rule == PlatformRule ? PlatformIgnoresCase : rule == IgnoreCaseRule;
}

void SetFileNamesIgnoreCase(std::optional<bool> ignoreCase) {
    Rule.store(!ignoreCase   ? PlatformRule
               : *ignoreCase ? IgnoreCaseRule
                             : ExactRule,
               std::memory_order_relaxed);
}

bool SameFileName(std::string_view a, std::string_view b) {
    return a == b || (FileNamesIgnoreCase() && platform::SameFileNameText(a, b));
}

}  // namespace kelvane
