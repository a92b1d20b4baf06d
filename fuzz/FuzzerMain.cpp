// One libFuzzer program per target: KELVANE_FUZZ_TARGET names its body.
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return kelvane::fuzz::KELVANE_FUZZ_TARGET(data, size);
}
