// An entry point for the replay's own tests. Each input begins with its length in
// decimal and a colon, so an input read short or long (a zero byte, no final line
// break) shows; an input that says "violate" after the colon fails like a broken
// invariant.

#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::size_t nColon = text.find(':');
    FUZZ_CHECK(nColon != std::string::npos);
    FUZZ_CHECK(std::stoul(text.substr(0, nColon)) == size);
    FUZZ_CHECK(text.compare(nColon + 1, 7, "violate") != 0);
    return 0;
}
