// libFuzzer's entry point for one target; LEXIVO_FUZZ_ENTRY names the target function.

#include "targets/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return lexivo::fuzz::LEXIVO_FUZZ_ENTRY(data, size);
}
