// What every match of an expression must contain, and the scan that finds it.

#include "../src/RequiredText.h"
#include "../src/TextScan.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

using RegexClass::detail::ByteTranslation;
using RegexClass::detail::FindRequiredText;
using RegexClass::detail::RequiredText;
using RegexClass::detail::TextScan;
namespace rc = boost::regex_constants;

ByteTranslation Identity()
{
    ByteTranslation t{};
    for (int b = 0; b < 256; ++b)
        t[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b);
    return t;
}

ByteTranslation AsciiLower()
{
    ByteTranslation t = Identity();
    for (int b = 'A'; b <= 'Z'; ++b)
        t[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b - 'A' + 'a');
    return t;
}

struct Row {
    const char* expression;
    std::vector<std::string> literals;  // {} = nothing required
    bool withinLine;
};

void CheckRows(const std::vector<Row>& rows, rc::syntax_option_type syntax, const ByteTranslation& translation)
{
    for (const Row& row : rows) {
        RequiredText text = FindRequiredText(row.expression, syntax, translation);
        EXPECT_EQ(text.literals, row.literals) << row.expression;
        EXPECT_EQ(text.withinLine, row.withinLine) << row.expression;
    }
}

TEST(RequiredText, LiteralsOfPlainExpressions)
{
    CheckRows({{"needle", {"needle"}, true},
               {"ne+dle-[0-9]+", {"dle-"}, true},
               {"[0-9]{4}-[0-9]{2}-[0-9]{2}", {"-"}, true},
               {"[A-Z][a-z]+ing\\b", {"ing"}, true},
               {"a\\.b", {"a.b"}, true},
               {"\\Qa.b*\\E", {"a.b*"}, true},
               {"foo\\d*bar", {"foo"}, true},  // equal candidates: the first,
               {"^key=\\w+$", {"key="}, true},
               {"x\\t\\ty", {"x\t\ty"}, true}},
              rc::perl, Identity());
}

TEST(RequiredText, NothingRequired)
{
    CheckRows({{"", {}, false},
               {"[abc]", {}, false},
               {"\\d+", {}, false},
               {".*", {}, false},
               {"a?", {}, false},
               {"(abc){0,3}", {}, false},
               {"abc|\\d", {}, false},
               {"ab|", {}, false},
               {"(a|)", {}, false},
               {"\\bx?\\b", {}, false}},
              rc::perl, Identity());
}

TEST(RequiredText, AlternationsAndOptionalGroups)
{
    CheckRows({{"foo|bar", {"bar", "foo"}, true},
               {"(foo|ba)r", {"bar", "foor"}, true},
               {"x(abc)?y", {"xabcy", "xy"}, true},
               {"(?:cat|dog)s?\\d", {"cat", "dog"}, true},
               {"(a|b)(c|d)", {"ac", "ad", "bc", "bd"}, true},
               // Too many combinations: a later run of fewer texts.
               {"[a-z]+(0|1|2|3)(4|5|6|7)(8|9)!", {"8!", "9!"}, true},
               {"(one|two|\\d+)x", {"x"}, true}},
              rc::perl, Identity());
}

TEST(RequiredText, Repeats)
{
    CheckRows({{"(ab){2}", {"abab"}, true},
               {"(ab){2,}c", {"abab"}, true},
               {"a{3}b", {"aaab"}, true},
               {"(ab){1,3}", {"ab"}, true},
               {"xa{0,2}y", {"x"}, true},
               {"(ab)*c", {"c"}, true},
               {"z+?qq", {"qq"}, true},
               {"z++qq", {"qq"}, true},
               {"(abc){100}", {"abc"}, true}},
              rc::perl, Identity());
}

TEST(RequiredText, LinesAndNewlines)
{
    CheckRows(
        {// Anything that may consume a newline lets a match span lines.
         {"a.*ing", {"ing"}, false},
         {"foo\\nbar", {"foo\nbar"}, false},
         {"foo\\s+bar", {"foo"}, false},
         {"foo\\W", {"foo"}, false},
         {"[^a]ing", {"ing"}, false},
         {"[\\x]ing", {}, false},
         {"[[:space:]]ing", {"ing"}, false},
         {"[\\t-\\r]ing", {"ing"}, false},
         {"[\\a-\\f]ing", {"ing"}, false},
         {"(?<=\\n)foo", {"foo"}, false},
         {"foo(?!.)", {"foo"}, false},
         {"foo\\Z", {"foo"}, false},
         {"\\Gfoo", {"foo"}, false},
         // These stay within a line.
         {"[^\\n]*ing", {"ing"}, true},
         {"[[:alpha:]]+ing", {"ing"}, true},
         {"foo$", {"foo"}, true},
         {"foo\\z", {"foo"}, true},
         {"(?=abc)x", {"x"}, true},
         {"foo(?![a-z])", {"foo"}, true}},
        rc::perl, Identity());
}

TEST(RequiredText, BackReferencesAndLookarounds)
{
    CheckRows({{"(a)b\\1", {"ab"}, true},
               {"(\\w+) \\1", {" "}, true},
               {"(.)\\1x", {"x"}, false},
               {"(?<=ab)cd", {"cd"}, true},
               {"(?<!ab)cd", {"cd"}, true},
               {"x(?=y)", {"x"}, true},
               {"(?<word>ab)c\\1", {"abc"}, true}},
              rc::perl, Identity());
}

TEST(RequiredText, GivesUpOnWhatItDoesNotModel)
{
    CheckRows({{"(?i)abc", {}, false},
               {"abc(?#note)", {}, false},
               {"\\x41bc", {}, false},
               {"\\p{L}bc", {}, false},
               {"abc\\Kd", {}, false},
               {"[[=a=]]bc", {}, false},
               {"abc{x}", {}, false},
               {"abc}", {}, false},
               {"x\\Qab\\E{2}", {}, false},  // the repeat takes the last character only
               {"(*ACCEPT)abc", {}, false},
               {"abc\\12", {}, false}},
              rc::perl, Identity());
}

TEST(RequiredText, OtherSyntaxesRequireNothing)
{
    const rc::syntax_option_type syntaxes[] = {rc::basic,
                                               rc::extended,
                                               rc::literal,
                                               rc::perl | rc::mod_x,
                                               rc::perl | rc::collate,
                                               rc::perl | boost::regbase::newline_alt};
    for (rc::syntax_option_type syntax : syntaxes) {
        RequiredText text = FindRequiredText("needle", syntax, Identity());
        EXPECT_TRUE(text.literals.empty()) << syntax;
    }
}

TEST(RequiredText, IgnoredCaseUsesTheTranslation)
{
    CheckRows({{"NeEdle", {"needle"}, true}, {"Foo|BAR", {"bar", "foo"}, true}}, rc::perl | rc::icase, AsciiLower());
    // A byte that the engine reads as a newline makes lines unknowable.
    ByteTranslation odd = Identity();
    odd[0x85] = '\n';
    EXPECT_FALSE(FindRequiredText("abc", rc::perl, odd).withinLine);
}

// --------------------------------------------------------------- the scan

std::vector<std::size_t> Occurrences(TextScan& scan, const std::string& subject)
{
    std::vector<std::size_t> at;
    scan.Reset(subject.data() + subject.size());
    for (const char* p = subject.data(); (p = scan.Next(p)) != nullptr; ++p)
        at.push_back(static_cast<std::size_t>(p - subject.data()));
    return at;
}

TEST(TextScan, FindsEveryLiteralLeftmostFirst)
{
    TextScan scan({"ab", "b", "xyz"}, Identity());
    EXPECT_EQ(Occurrences(scan, "xyzab..b.xy"), (std::vector<std::size_t>{0, 3, 4, 7}));
    EXPECT_EQ(Occurrences(scan, "nothing"), std::vector<std::size_t>{});
    // The same scan serves the next subject from scratch.
    EXPECT_EQ(Occurrences(scan, "b"), std::vector<std::size_t>{0});
}

TEST(TextScan, ComparesTranslatedBytes)
{
    TextScan scan({"ing"}, AsciiLower());
    EXPECT_EQ(Occurrences(scan, "ING sIng in ing"), (std::vector<std::size_t>{0, 5, 12}));
}

TEST(TextScan, LaterStartsSkipEarlierFinds)
{
    const std::string subject = "a-b-c";
    TextScan scan({"-", "c"}, Identity());
    scan.Reset(subject.data() + subject.size());
    EXPECT_EQ(scan.Next(subject.data()), subject.data() + 1);
    EXPECT_EQ(scan.Next(subject.data() + 2), subject.data() + 3);
    EXPECT_EQ(scan.Next(subject.data() + 4), subject.data() + 4);
    EXPECT_EQ(scan.Next(subject.data() + 5), nullptr);
}

}  // namespace
