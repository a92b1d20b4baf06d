#pragma once

// The bodies of the fuzzers. Each takes one input as bytes, runs it through
// the code that reads that kind of file and checks what must hold for any
// input; a broken rule throws TFuzzCheckFailed. The libFuzzer programs call
// them, and so does the corpus replay test, built with the normal compiler.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kelvane::fuzz {

struct TFuzzCheckFailed : std::logic_error {
    using std::logic_error::logic_error;
};

int FuzzLogReader(const std::uint8_t* data, std::size_t size);
int FuzzMapText(const std::uint8_t* data, std::size_t size);
int FuzzBinImage(const std::uint8_t* data, std::size_t size);
int FuzzSettings(const std::uint8_t* data, std::size_t size);
int FuzzColorTable(const std::uint8_t* data, std::size_t size);
int FuzzTargetMap(const std::uint8_t* data, std::size_t size);
int FuzzValueTexts(const std::uint8_t* data, std::size_t size);
int FuzzUpdateList(const std::uint8_t* data, std::size_t size);

using TFuzzTarget = int (*)(const std::uint8_t*, std::size_t);

struct TFuzzTargetInfo {
    std::string_view Name;  // the fuzzer's name and its corpus folder
    TFuzzTarget Target;
};

inline constexpr TFuzzTargetInfo FuzzTargets[] = {
    {"log_reader", FuzzLogReader},   {"map_text", FuzzMapText},       {"bin_image", FuzzBinImage},
    {"settings", FuzzSettings},      {"color_table", FuzzColorTable}, {"target_map", FuzzTargetMap},
    {"value_texts", FuzzValueTexts}, {"update_list", FuzzUpdateList},
};

}  // namespace kelvane::fuzz
