#include "EngineFlags.h"

namespace RegexClass {
namespace detail {

namespace rc = boost::regex_constants;
using boost::regbase;

rc::syntax_option_type EngineSyntaxFlags(std::uint32_t classic, EngineGroup group)
{
    auto has = [classic](std::uint32_t bit) { return (classic & bit) != 0; };
    rc::syntax_option_type flags = rc::syntax_option_type(0);

    if (has(kLiteral)) {
        flags = regbase::literal;
    } else {
        switch (group) {
        case EngineGroup::PosixBasic:
        case EngineGroup::Emacs:
            // The rewritten expression spells every operator with a backslash.
            flags = regbase::basic_syntax_group | regbase::bk_plus_qm | regbase::bk_vbar;
            if (group == EngineGroup::Emacs)
                flags |= regbase::emacs_ex;
            break;
        case EngineGroup::PosixExtended:
            flags = regbase::perl_syntax_group | regbase::no_perl_ex;
            break;
        case EngineGroup::Perl:
            flags = regbase::perl_syntax_group;
            break;
        }
        if (has(kNewlineAlt))
            flags |= regbase::newline_alt;
    }
    if (!has(kNoCollate))
        flags |= regbase::collate;
    if (has(kIcase))
        flags |= regbase::icase;
    return flags;
}

std::uint32_t ClassicErrorCode(rc::error_type code)
{
    switch (static_cast<int>(code)) {
    case rc::error_size:
        return kClassicErrorSize;
    case rc::error_complexity:
    case rc::error_stack:
    case rc::error_unknown:
        return kClassicErrorUnknown;
    case rc::error_perl_extension:
        return rc::error_bad_pattern;
    default: {
        int value = static_cast<int>(code);
        return value >= 0 && value <= 17 ? static_cast<std::uint32_t>(value) : kClassicErrorUnknown;
    }
    }
}

RegularExpression::ExpressionErrorCode ToExpressionErrorCode(std::uint32_t classic)
{
    switch (classic) {
    case kClassicErrorSize:
        return RegularExpression::ErrorSize;
    case kClassicErrorUnknown:
        return RegularExpression::ErrorUnknown;
    case kClassicErrorLocaleDll:
        return RegularExpression::ErrorLocaleDll;
    default:
        // 1 never comes from the engine; anything unknown is reported as such.
        if (classic == 0 || (classic >= 2 && classic <= 17 && classic != 15))
            return static_cast<RegularExpression::ExpressionErrorCode>(classic);
        return RegularExpression::ErrorUnknown;
    }
}

rc::match_flag_type EngineFormatFlags(RegularExpression::FormatTypes type)
{
    switch (type) {
    case RegularExpression::FormatTypeSed:
        return rc::format_sed;
    case RegularExpression::FormatTypePerl:
        return rc::format_perl;
    default:
        return rc::format_all;
    }
}

}  // namespace detail
}  // namespace RegexClass
