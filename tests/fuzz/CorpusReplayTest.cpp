#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzTargets.h"

namespace kelvane::fuzz {
namespace {

namespace fs = std::filesystem;

}  // namespace

void PrintTo(const TFuzzTargetInfo& info, std::ostream* out) {
    *out << info.Name;
}

namespace {

class CorpusReplayTest : public testing::TestWithParam<TFuzzTargetInfo> {};

std::vector<fs::path> CorpusFiles(std::string_view name) {
    std::vector<fs::path> files;
    const fs::path folder = fs::path(KELVANE_FUZZ_CORPUS) / name;
    if (fs::is_directory(folder))
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every stored input (the seeds, and every input a fuzzer once crashed on)
// runs through the fuzzer's body and keeps every rule it checks.
TEST_P(CorpusReplayTest, EveryStoredInputKeepsTheRules) {
    const std::vector<fs::path> files = CorpusFiles(GetParam().Name);
    ASSERT_FALSE(files.empty()) << "no corpus for " << GetParam().Name;
    for (const fs::path& file : files) {
        const std::string bytes = Bytes(file);
        try {
            GetParam().Target(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        } catch (const TFuzzCheckFailed& failed) {
            ADD_FAILURE() << file.filename() << ": " << failed.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fuzzers, CorpusReplayTest, testing::ValuesIn(FuzzTargets),
                         [](const testing::TestParamInfo<TFuzzTargetInfo>& info) {
                             return std::string(info.param.Name);
                         });

}  // namespace
}  // namespace kelvane::fuzz
