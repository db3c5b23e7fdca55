#pragma once

// The engine expression that the component compiles for a new object's
// option set, for benchmarks that call the engine directly beside it.

#include "../regex/src/EngineFlags.h"
#include "../regex/src/RegularExpressionImpl.h"

#include <boost/regex.hpp>

inline boost::regex DirectEngineExpression(const char* pattern)
{
    RegexClass::RegularExpression defaults;
    return boost::regex(pattern, RegexClass::detail::EngineSyntaxFlags(defaults.Impl().ClassicCompileFlags()));
}
