#pragma once

#include <fstream>
#include <iterator>
#include <string>

#include "core/logdata/KelvaneDefs.h"

namespace kelvane::test {

// A sample's line as its file holds it, read from the file by the sample's place.
inline std::string LineInFile(const TLogData& data, const TLogDataEntry& entry) {
    std::ifstream in(data.FileName(entry), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (entry.RawOffset > bytes.size()) return "<beyond the end of the file>";
    return bytes.substr(static_cast<std::size_t>(entry.RawOffset), entry.RawLength);
}

}  // namespace kelvane::test
