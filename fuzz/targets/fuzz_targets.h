#pragma once

// The fuzz targets: each takes one input of arbitrary bytes, runs a unit on it and checks properties that must
// hold for every input. libFuzzer drives them (fuzz/entry, built by `make fuzz` with clang); the ordinary test
// build replays the seed corpus and every case the fuzzer has found through the same functions.

#include <cstddef>
#include <cstdint>
#include <string>

namespace lexivo::fuzz {

int WordListReaderTarget(const std::uint8_t* data, std::size_t size);
int LikeMatchTarget(const std::uint8_t* data, std::size_t size);
int MaskTestTarget(const std::uint8_t* data, std::size_t size);
int QueryTextTarget(const std::uint8_t* data, std::size_t size);

struct Target {
    const char* name;  // also the name of its corpus folder
    int (*run)(const std::uint8_t* data, std::size_t size);
};
inline constexpr Target kTargets[] = {
    {"word_list_reader", WordListReaderTarget},
    {"like_match", LikeMatchTarget},
    {"mask_test", MaskTestTarget},
    {"query_text", QueryTextTarget},
};

// A property that does not hold. Under the fuzzer it aborts, so that libFuzzer keeps the input; the replay
// installs a handler that throws, so that the test names the input and goes on with the next.
using FailureHandler = void (*)(const std::string& what);
void SetFailureHandler(FailureHandler handler);
void Fail(const std::string& what);

// Splits an input in two at a point its first byte chooses: a pattern and a text, a mask and a word.
struct TwoParts {
    std::string first;
    std::string second;
};
TwoParts Split(const std::uint8_t* data, std::size_t size);

}  // namespace lexivo::fuzz

#define FUZZ_CHECK(condition, what)                                \
    do {                                                           \
        if (!(condition)) ::lexivo::fuzz::Fail(std::string(what)); \
    } while (0)
