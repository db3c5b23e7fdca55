#pragma once
// What every fuzz target needs: invariants that abort with the condition that failed
// (libFuzzer keeps the input as a crash; a replay test fails), and the input split at
// its first line.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(condition) ((condition) ? static_cast<void>(0) : fuzz_support::Fail(#condition, __FILE__, __LINE__))

namespace fuzz_support {

[[noreturn]] inline void Fail(const char* pCondition, const char* pFile, int nLine)
{
    std::fprintf(stderr, "%s:%d: invariant violated: %s\n", pFile, nLine, pCondition);
    std::abort();
}

// The first line (without its line break) and the bytes after it.
struct FirstLineAndRest {
    std::string strFirst;
    std::string strRest;
};

inline FirstLineAndRest SplitFirstLine(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::size_t nBreak = text.find('\n');
    if (nBreak == std::string::npos)
        return {text, std::string()};
    return {text.substr(0, nBreak), text.substr(nBreak + 1)};
}

}  // namespace fuzz_support
