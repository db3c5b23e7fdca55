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
    kClassicErrorLocaleDll = 20,  // the component's own: a catalogue could not be opened
};

// The engine's syntax group an expression compiles in. The family decides it,
// since the group decides how the engine matches: the POSIX families
// leftmost-longest, every other set leftmost-first. The single options only
// change how the expression is read, which SyntaxRewrite.h carries over to
// the group's own syntax. A set with Literal compiles as a literal text.
enum class EngineGroup {
    Perl,           // ( ) { } + ? | operators, Perl extensions
    PosixExtended,  // the same operators, no Perl extensions
    PosixBasic,     // \( \) \{ \} \+ \? \| operators
    Emacs,          // as PosixBasic, with bare + and ? operators and the emacs escapes
};

// The group of an option set (the Options values it holds).
template <class OptionSet>
EngineGroup EngineGroupOf(const OptionSet& options)
{
    for (int family : options) {
        switch (family) {
        case RegularExpression::SyntaxExtended:
        case RegularExpression::SyntaxAwk:
        case RegularExpression::SyntaxEgrep:
            return EngineGroup::PosixExtended;
        case RegularExpression::SyntaxBasic:
        case RegularExpression::SyntaxSed:
        case RegularExpression::SyntaxGrep:
            return EngineGroup::PosixBasic;
        case RegularExpression::SyntaxEmacs:
            return EngineGroup::Emacs;
        default:
            break;
        }
    }
    return EngineGroup::Perl;
}

// Syntax flags of 1.81 for an expression already in the group's syntax, with
// the classic flags that the engine honours in every group: newline
// alternation, case and collation.
boost::regex_constants::syntax_option_type EngineSyntaxFlags(std::uint32_t classic,
                                                             EngineGroup group = EngineGroup::Perl);

// A 1.81 error code in the classic numbering.
std::uint32_t ClassicErrorCode(boost::regex_constants::error_type code);

// A classic error code as the component reports it.
RegularExpression::ExpressionErrorCode ToExpressionErrorCode(std::uint32_t classic);

// 1.81 format flags for a format type; types outside the three members use the default syntax.
boost::regex_constants::match_flag_type EngineFormatFlags(RegularExpression::FormatTypes type);

}  // namespace detail
}  // namespace RegexClass
