#pragma once

// Translation between the classic engine numbering that the component's
// options, codes and format types are defined in, and Boost.Regex 1.81.

#include <vantrel/RegularExpression.h>

#include <boost/regex.hpp>

#include <cstdint>

namespace RegexClass {
namespace detail {

// Classic syntax flag bits.
enum ClassicSyntax : std::uint32_t {
    kEscapeInLists = 0x1,
    kCharClasses = 0x2,
    kIntervals = 0x4,
    kLimitedOps = 0x8,
    kNewlineAlt = 0x10,
    kBkPlusQm = 0x20,
    kBkBraces = 0x40,
    kBkParens = 0x80,
    kBkRefs = 0x100,
    kBkVbar = 0x200,
    kUseExcept = 0x400,
    kLiteral = 0x1000,
    kIcase = 0x2000,
    kNoCollate = 0x4000,
};

// Classic engine error codes that 1.81 numbers differently or lacks.
enum ClassicError : std::uint32_t {
    kClassicErrorSize = 15,
    kClassicErrorUnknown = 18,
    kClassicErrorLocaleDll = 20,   // the component's own: a catalogue could not be opened
};

// Syntax flags of 1.81 that give the classic syntax described by `classic`.
boost::regex_constants::syntax_option_type EngineSyntaxFlags(std::uint32_t classic);

// A 1.81 error code in the classic numbering.
std::uint32_t ClassicErrorCode(boost::regex_constants::error_type code);

// A classic error code as the component reports it.
RegularExpression::ExpressionErrorCode ToExpressionErrorCode(std::uint32_t classic);

// 1.81 format flags for a format type; types outside the three members use the default syntax.
boost::regex_constants::match_flag_type EngineFormatFlags(RegularExpression::FormatTypes type);

}  // namespace detail
}  // namespace RegexClass
