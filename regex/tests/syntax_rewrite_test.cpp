// Every single option keeps its meaning in every family: the rewrite into the
// engine group's syntax, and each option's effect through the component.

#include <vantrel/RegularExpression.h>

#include "EngineFlags.h"
#include "SyntaxRewrite.h"

#include <gtest/gtest.h>

#include <locale>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using RegexClass::RegularExpression;
using RE = RegularExpression;
using RegexClass::detail::EngineGroup;
using RegexClass::detail::ToEngineSyntax;
namespace flags = RegexClass::detail;

constexpr std::uint32_t kNormal =
    flags::kEscapeInLists | flags::kCharClasses | flags::kIntervals | flags::kBkRefs | flags::kNoCollate;
constexpr std::uint32_t kExtended = flags::kCharClasses | flags::kIntervals | flags::kBkRefs;
constexpr std::uint32_t kBasic =
    flags::kCharClasses | flags::kIntervals | flags::kLimitedOps | flags::kBkBraces | flags::kBkParens | flags::kBkRefs;
constexpr std::uint32_t kEmacs = flags::kBkBraces | flags::kBkParens | flags::kBkRefs | flags::kBkVbar;

TEST(SyntaxRewrite, SpellsOperatorsAndLiteralsForTheGroup)
{
    struct Row {
        const char* name;
        const char* expression;
        std::uint32_t classic;
        EngineGroup group;
        const char* expected;
    };
    const Row rows[] = {
        {"default family as it is", "(?i)<a\\s+([^>]*)>|\\Q+\\E[\\d[:alpha:]]{2}", kNormal, EngineGroup::Perl,
         "(?i)<a\\s+([^>]*)>|\\Q+\\E[\\d[:alpha:]]{2}"},
        {"limited operators", "a+b?|c", kNormal | flags::kLimitedOps, EngineGroup::Perl, "a\\+b\\?\\|c"},
        {"no intervals", "a{2}\\{", kNormal & ~flags::kIntervals, EngineGroup::Perl, "a\\{2\\}\\{"},
        {"backslashed braces", "a\\{2\\}{", kNormal | flags::kBkBraces, EngineGroup::Perl, "a{2}\\{"},
        {"backslashed plus", "a\\+b+", kNormal | flags::kBkPlusQm, EngineGroup::Perl, "a+b\\+"},
        {"backslashed bar", "a\\|b|c", kNormal | flags::kBkVbar, EngineGroup::Perl, "a|b\\|c"},
        {"backslashed parentheses in Perl", "\\(a\\)(b)", kNormal | flags::kBkParens, EngineGroup::Perl, "(a)\\(b\\)"},
        {"no extension after a POSIX group", "\\(?a\\)", kNormal | flags::kBkParens, EngineGroup::Perl, "(\\?a)"},
        {"backslash in a set is a member", "[\\d]\\d[^]\\]", kExtended, EngineGroup::PosixExtended,
         "[\\\\d]\\d[^]\\\\]"},
        {"no classes", "[[:alpha:]][[=a=]]", kNormal & ~flags::kCharClasses, EngineGroup::Perl, "[\\[:alpha:]][[=a=]]"},
        {"no back-references", "(a)\\1", kNormal & ~flags::kBkRefs, EngineGroup::Perl, "(a)1"},
        {"basic family", "\\(a|b\\)\\{2\\}+\\+[\\.]", kBasic, EngineGroup::PosixBasic, "\\(a|b\\)\\{2\\}++[\\\\.]"},
        {"emacs family", "\\(a\\|b\\)+{2}", kEmacs, EngineGroup::Emacs, "\\(a\\|b\\)\\+{2}"},
        {"emacs with limited operators", "a+\\|b", kEmacs | flags::kLimitedOps, EngineGroup::Emacs, "a[+]|b"},
        // What the engine reads verbatim stays verbatim.
        {"quoted text", "\\Qa+|{\\E+", kNormal | flags::kLimitedOps, EngineGroup::Perl, "\\Qa+|{\\E\\+"},
        {"comment group", "(?#a+|)b+", kNormal | flags::kLimitedOps, EngineGroup::Perl, "(?#a+|)b\\+"},
        {"x mode comment", "(?x: a # [+\n b+)c+", kNormal | flags::kLimitedOps, EngineGroup::Perl,
         "(?x: a # [+\n b\\+)c\\+"},
        {"x mode ends with its group", "((?x)#(\n)#+", kNormal | flags::kLimitedOps, EngineGroup::Perl,
         "((?x)#(\n)#\\+"},
        {"named group and lookbehind", "(?<n>a)(?<=a)b+", kNormal | flags::kLimitedOps, EngineGroup::Perl,
         "(?<n>a)(?<=a)b\\+"},
        {"escape with braces", "\\x{41}a{2}", kNormal & ~flags::kIntervals, EngineGroup::Perl, "\\x{41}a\\{2\\}"},
        {"literal option", "a+(", kNormal | flags::kLimitedOps | flags::kLiteral, EngineGroup::Perl, "a+("},
        {"unclosed set and trailing backslash", "[a+\\", kExtended, EngineGroup::PosixExtended, "[a+\\\\"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ToEngineSyntax(row.expression, row.classic, row.group).text, row.expected) << row.name;
}

TEST(SyntaxRewrite, ErrorMessagesQuoteTheCallersText)
{
    struct Row {
        RE::Options option;
        const char* expression;
        const char* quoted;
    };
    const Row rows[] = {
        {RE::SyntaxExtended, "[\\d", "'[\\d>>>HERE>>>'."},
        {RE::LimitedOps, "a+(b", "'a+(b>>>HERE>>>'."},
        {RE::LimitedOps, "a+b+c+d+e+f+g+h+(i", "'e+f+g+h+(i>>>HERE>>>'."},
        {RE::SyntaxPerl, "a(b", "'a(b>>>HERE>>>'."},
    };
    for (const Row& row : rows) {
        RE re;
        re.AddExpressionOption(row.option);
        re.SetExpression(row.expression);
        ASSERT_NE(re.ParseExpression(), RE::NoError) << row.expression;
        const std::string message = re.GetExpressionError();
        EXPECT_NE(message.find(row.quoted), std::string::npos) << message;
    }
}

// The expression as the option set spells the operator `c` (+ ? | { ( ):
// with a backslash where the set says so.
std::string Spelled(const RE& re, char c)
{
    bool backslash = false;
    switch (c) {
    case '+':
        backslash = re.IsExpressionOption(RE::BkPlusQm);
        break;
    case '|':
        backslash = re.IsExpressionOption(RE::BkVbar);
        break;
    case '{':
    case '}':
        backslash = re.IsExpressionOption(RE::BkBraces);
        break;
    default:
        backslash = re.IsExpressionOption(RE::BkParens);
        break;
    }
    return backslash ? std::string("\\") + c : std::string(1, c);
}

struct Probe {
    std::string expression;
    std::string subject;
    bool whole;  // MatchAll instead of Search
    bool expected;
};

// An expression whose outcome shows whether `option` takes effect in the set.
Probe ProbeFor(const RE& re, RE::Options option)
{
    auto is = [&re](RE::Options o) { return re.IsExpressionOption(o); };
    switch (option) {
    case RE::EscapeInLists:
        return {"[\\d]", "d", false, !is(RE::EscapeInLists)};
    case RE::CharClasses:
        return {"[[:digit:]]", "d]", false, !is(RE::CharClasses)};
    case RE::Intervals:
        return {"a" + Spelled(re, '{') + "2" + Spelled(re, '}'), "aa", false, is(RE::Intervals)};
    case RE::LimitedOps:
        return {"b" + Spelled(re, '|') + "c", "c", false, !is(RE::LimitedOps)};
    case RE::NewlineAlt:
        return {"b\nc", "c", false, is(RE::NewlineAlt)};
    case RE::BkPlusQm:
        return {"ab\\+", "abb", false, is(RE::BkPlusQm) && !is(RE::LimitedOps)};
    case RE::BkBraces:
        return {"a\\{2\\}", "aa", false, is(RE::BkBraces) && is(RE::Intervals)};
    case RE::BkParens:
        return {"\\(a\\)", "(a)", true, !is(RE::BkParens)};
    case RE::BkRefs:
        return {Spelled(re, '(') + "a" + Spelled(re, ')') + "\\1", "aa", true, is(RE::BkRefs)};
    case RE::BkVbar:
        return {"b\\|c", "c", false, is(RE::BkVbar) && !is(RE::LimitedOps)};
    case RE::Literal:
        return {"a.c", "abc", false, !is(RE::Literal)};
    case RE::IgnoreCase:
        return {"A", "a", false, is(RE::IgnoreCase)};
    default:
        return {"", "", false, false};
    }
}

TEST(OptionEffects, EverySingleOptionInEveryFamily)
{
    const RE::Options families[] = {RE::SyntaxNormal, RE::SyntaxPerl,     RE::SyntaxBasic,
                                    RE::SyntaxSed,    RE::SyntaxExtended, RE::SyntaxAwk,
                                    RE::SyntaxEgrep,  RE::SyntaxGrep,     RE::SyntaxEmacs};
    for (RE::Options family : families) {
        for (int single = RE::EscapeInLists; single <= RE::IgnoreCase; ++single) {
            const auto option = static_cast<RE::Options>(single);
            for (bool toggled : {false, true}) {
                RE re;
                re.ClearExpressionOptions();
                re.AddExpressionOption(family);
                if (toggled) {
                    if (re.IsExpressionOption(option))
                        re.DeleteExpressionOption(option);
                    else
                        re.AddExpressionOption(option);
                }
                const Probe probe = ProbeFor(re, option);
                re.SetExpression(probe.expression);
                re.SetStringToMatch(probe.subject);
                ASSERT_EQ(re.ParseExpression(), RE::NoError)
                    << "family " << family << " option " << single << " toggled " << toggled << ": "
                    << re.GetExpressionError();
                EXPECT_EQ(probe.whole ? re.MatchAll() : re.Search(), probe.expected)
                    << "family " << family << " option " << single << " toggled " << toggled << " /" << probe.expression
                    << "/ on '" << probe.subject << "'";
            }
        }
    }
}

// Without NoCollate ranges follow collation; the syntax and the way of
// matching stay those of the family.
TEST(OptionEffects, DeletingNoCollateKeepsPerlSyntaxAndLeftmostFirst)
{
    RE re;
    re.DeleteExpressionOption(RE::NoCollate);
    ASSERT_FALSE(re.IsExpressionOption(RE::SyntaxNormal));
    std::string found;
    re.SetOnSearchingClosure([&found](RE*, const std::vector<RegexClass::REMatch>& list, unsigned int, unsigned int) {
        found = list[0].text;
    });
    for (const char* expression : {"(?:a|ab)", "(?=a)(a|ab)", "(?!b)(a|ab)", "a+?"}) {
        re.SetExpression(expression);
        re.SetStringToMatch("ab");
        ASSERT_EQ(re.ParseExpression(), RE::NoError) << expression << ": " << re.GetExpressionError();
        EXPECT_TRUE(re.Search()) << expression;
        EXPECT_EQ(found, "a") << expression;
    }
}

TEST(OptionEffects, NoCollateRangesByCodeOtherwiseByCollation)
{
    std::locale english;
    try {
        english = std::locale("en_US.UTF-8");
    } catch (const std::runtime_error&) {
        GTEST_SKIP() << "en_US.UTF-8 is not installed";
    }
    for (bool byCode : {true, false}) {
        RE re;
        re.SetLocale(english);
        if (!byCode)
            re.DeleteExpressionOption(RE::NoCollate);
        re.SetExpression("[a-c]");
        re.SetStringToMatch("B");
        // In this locale's collation B sorts between a and c.
        EXPECT_EQ(re.Search(), !byCode);
    }
}

}  // namespace
