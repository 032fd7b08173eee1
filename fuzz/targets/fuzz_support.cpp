#include <cstdio>
#include <cstdlib>

#include "targets/fuzz_targets.h"

namespace lexivo::fuzz {

namespace {

void abortOnFailure(const std::string& what) {
    std::fprintf(stderr, "property failed: %s\n", what.c_str());
    std::abort();
}

FailureHandler handler = abortOnFailure;

}  // namespace

void SetFailureHandler(FailureHandler newHandler) {
    handler = newHandler ? newHandler : abortOnFailure;
}

void Fail(const std::string& what) {
    handler(what);
}

TwoParts Split(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return {};
    const std::size_t rest = size - 1;
    const std::size_t at = rest == 0 ? 0 : data[0] % (rest + 1);
    const char* text = reinterpret_cast<const char*>(data + 1);
    return {std::string(text, at), std::string(text + at, rest - at)};
}

}  // namespace lexivo::fuzz
