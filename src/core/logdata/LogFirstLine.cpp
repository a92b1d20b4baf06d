#include "core/logdata/LogFirstLine.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/ground/AtomicFile.h"
#include "core/ground/Platform.h"

namespace kelvane {

std::string LongFirstLineReason() {
    return "its first line is longer than " + std::to_string(MaxLogHeaderLength) +
           " bytes, so it is no log header";
}

bool ReadLogFirstLine(const std::filesystem::path& path, std::string& line, std::string& error) {
    line.clear();
    error.clear();
    platform::TReadOnlyFile file;
    if (!file.Open(path, error)) return false;
    // A byte-order mark, the longest header and one byte to tell that it ended.
    std::string head(static_cast<std::size_t>(
                         std::min<std::uint64_t>(file.Size(), Utf8Bom.size() + MaxLogHeaderLength + 1)),
                     '\0');
    const std::int64_t read = file.ReadAt(0, head.data(), head.size());
    if (read < 0) {
        error = std::strerror(errno);
        return false;
    }
    head.resize(static_cast<std::size_t>(read));
    std::string_view text(head);
    if (text.starts_with(Utf8Bom)) text.remove_prefix(Utf8Bom.size());
    const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
    if (end > MaxLogHeaderLength) {
        error = LongFirstLineReason();
        return false;
    }
    line.assign(text.substr(0, end));
    return true;
}

}  // namespace kelvane
