// Merge and Format: the two merge paths, the veto and stop protocol, the
// format syntaxes, and Format from inside the passes that report matches.

#include <vantrel/RegularExpression.h>

#include "../src/RegularExpressionImpl.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using RegexClass::RegularExpression;
using RegexClass::REMatch;
using List = std::vector<REMatch>;

RegularExpression::MergingClosure AlwaysContinue()
{
    return [](RegularExpression*, const List&, unsigned int, unsigned int, bool&) {};
}

// Clears the continue flag at the given call (1-based).
RegularExpression::MergingClosure StopAt(int call)
{
    return [call, seen = 0](RegularExpression*, const List&, unsigned int, unsigned int, bool& go) mutable {
        if (++seen == call)
            go = false;
    };
}

void ExpectIdle(RegularExpression& re)
{
    EXPECT_FALSE(re.Impl().busy);
    EXPECT_EQ(re.Impl().stepMatch, nullptr);
    EXPECT_EQ(re.Impl().currentResults, nullptr);
}

std::string Merged(RegularExpression& re)
{
    std::string out = "left over";
    re.Merge(out);
    return out;
}

// ------------------------------------------------------------ the a1b22c table

TEST(MergeTable, SubjectA1B22C)
{
    enum Callback { None, Continue, StopSecond };
    struct Row {
        const char* format;
        RegularExpression::FormatTypes type;
        bool copy;
        bool onlyFirst;
        Callback callback;
        const char* expected;
    };
    const Row rows[] = {
        // Without a callback the default syntax applies: & is an ordinary character.
        {"&", RegularExpression::FormatTypeSed, true, false, None, "a&b&c"},
        {"&", RegularExpression::FormatTypeSed, true, false, Continue, "a1b22c"},
        {"<$0>", RegularExpression::FormatTypePerl, true, false, Continue, "a<1>b<22>c"},
        {"<$0>", RegularExpression::FormatTypePerl, false, false, Continue, "<1><22>"},
        {"<$0>", RegularExpression::FormatTypePerl, true, true, Continue, "a<1>b22c"},
        {"<$0>", RegularExpression::FormatTypePerl, false, true, Continue, "<1>"},
        {"<$0>", RegularExpression::FormatTypePerl, true, false, StopSecond, "a<1>b22c"},
        {"<$0>", RegularExpression::FormatTypePerl, false, false, StopSecond, "<1>"},
        {"<$0>", RegularExpression::FormatTypeAll, true, false, None, "a<1>b<22>c"},
        {"<$0>", RegularExpression::FormatTypeAll, false, false, None, "<1><22>"},
        {"<$0>", RegularExpression::FormatTypeAll, true, true, None, "a<1>b22c"},
        {"<$0>", RegularExpression::FormatTypeAll, false, true, None, "<1>"},
        {"<$0>", RegularExpression::FormatTypeSed, true, false, Continue, "a<$0>b<$0>c"},
        {"<&>", RegularExpression::FormatTypeAll, true, false, Continue, "a<&>b<&>c"},
        {"(?1x:y)", RegularExpression::FormatTypeAll, true, false, Continue, "aybyc"},
        // Outside the three types: the default syntax.
        {"<$0&>", static_cast<RegularExpression::FormatTypes>(7), true, false, Continue, "a<1&>b<22&>c"},
    };
    for (const Row& row : rows) {
        RegularExpression re;
        re.SetExpression("[0-9]+");
        re.SetStringToMatch("a1b22c");
        re.SetFormatString(row.format);
        re.SetFormatType(row.type);
        re.SetMergeCopy(row.copy);
        re.SetMergeOnlyFirst(row.onlyFirst);
        if (row.callback == Continue)
            re.SetOnMergingClosure(AlwaysContinue());
        if (row.callback == StopSecond)
            re.SetOnMergingClosure(StopAt(2));
        EXPECT_EQ(Merged(re), row.expected) << row.format << " type " << row.type << " copy " << row.copy << " first "
                                            << row.onlyFirst << " callback " << row.callback;
        ExpectIdle(re);
    }
}

TEST(MergeTable, BothPathsAgreeInTheDefaultSyntax)
{
    struct Row {
        const char* expression;
        const char* subject;
        const char* format;
    };
    const Row rows[] = {
        {"[0-9]+", "12ab3", "[$&]"}, {"([a-z])([0-9])?", "a1bc2", "$2$1"}, {"o", "foo boo", "0"},
        {"^", "one\ntwo", ">"},      {"x", "no match here", "y"},          {"\\n", "l1\nl2\n", "|"},
        {"a|b", "ab", "(?1:)\\u$0"},
    };
    for (const Row& row : rows) {
        for (int mode = 0; mode < 4; ++mode) {
            RegularExpression re;
            re.SetExpression(row.expression);
            re.SetStringToMatch(row.subject);
            re.SetFormatString(row.format);
            re.SetMergeCopy(mode & 1);
            re.SetMergeOnlyFirst(mode & 2);
            const std::string plain = Merged(re);
            re.SetOnMergingClosure(AlwaysContinue());
            EXPECT_EQ(Merged(re), plain) << row.expression << " mode " << mode;
        }
    }
}

// ------------------------------------------------------------- callback merge

TEST(MergeTable, BothPathsReplaceWhatGrepReportsAtTheEnd)
{
    struct Row {
        const char* expression;
        const char* subject;
        bool copy;
        const char* expected;
        unsigned int greps;
    };
    const Row rows[] = {
        // No final empty match after a match that reached the end.
        {"[[:digit:]]*", "123ab1", false, "<123><><><1>", 4},
        {"[[:digit:]]*", "123ab1", true, "<123><>a<>b<1>", 4},
        {".*", "abc", false, "<abc>", 1},
        {".*", "abc", true, "<abc>", 1},
        // An empty match at the end after one that did not reach it stays.
        {"x*", "ab", false, "<><><>", 3},
        {"x*", "ab", true, "<>a<>b<>", 3},
    };
    for (const Row& row : rows) {
        for (bool callback : {false, true}) {
            RegularExpression re;
            re.SetExpression(row.expression);
            re.SetStringToMatch(row.subject);
            re.SetFormatString("<$0>");
            re.SetMergeCopy(row.copy);
            int calls = 0;
            if (callback)
                re.SetOnMergingClosure(
                    [&calls](RegularExpression*, const List&, unsigned int, unsigned int, bool&) { ++calls; });
            EXPECT_EQ(Merged(re), row.expected)
                << row.expression << " on " << row.subject << " copy " << row.copy << " callback " << callback;
            EXPECT_EQ(re.Grep(), row.greps) << row.expression << " on " << row.subject;
            if (callback) {
                EXPECT_EQ(calls, static_cast<int>(row.greps)) << row.expression;
            }
        }
    }
}

TEST(CallbackMerge, CopyAndOnlyFirstAreReadWhenThePassStarts)
{
    enum Switch { Copy, OnlyFirst };
    struct Row {
        Switch setting;
        const char* thisPass;
        const char* nextPass;
    };
    const Row rows[] = {
        {Copy, "<1><2>", "xx<1>yy<2>zz"},
        {OnlyFirst, "<1><2>", "<1>"},
    };
    for (const Row& row : rows) {
        RegularExpression re;
        re.SetExpression("[0-9]");
        re.SetStringToMatch("xx1yy2zz");
        re.SetFormatString("<$0>");
        re.SetOnMergingClosure([&row](RegularExpression* self, const List&, unsigned int, unsigned int, bool&) {
            if (row.setting == Copy)
                self->SetMergeCopy(true);
            else
                self->SetMergeOnlyFirst(true);
        });
        EXPECT_EQ(Merged(re), row.thisPass);
        EXPECT_EQ(Merged(re), row.nextPass);
    }
}

TEST(CallbackMerge, ReceivesListsLinesAndVetoSkipsOnlyThatMatch)
{
    RegularExpression re;
    re.SetExpression("[0-9]+");
    re.SetStringToMatch("a1\nb22\nc333");
    re.SetFormatString("#");
    re.SetMergeCopy(true);
    std::vector<std::string> seen;
    re.SetOnMergingClosure(
        [&](RegularExpression*, const List& list, unsigned int line, unsigned int lineStart, bool& go) {
            ASSERT_EQ(list.size(), 3u);
            seen.push_back(list[0].text + "@" + std::to_string(list[0].position) + " line " + std::to_string(line) +
                           " from " + std::to_string(lineStart) + " prefix '" + list[1].text + "'");
            go = true;
        });
    EXPECT_EQ(Merged(re), "a#\nb#\nc#");
    EXPECT_EQ(seen,
              (std::vector<std::string>{"1@1 line 1 from 0 prefix 'a'", "22@4 line 2 from 3 prefix '\nb'",
                                        "333@8 line 3 from 7 prefix '\nc'"}));
}

TEST(CallbackMerge, StoppingKeepsTheRestUnchanged)
{
    for (bool copy : {true, false}) {
        RegularExpression re;
        re.SetExpression("[0-9]+");
        re.SetStringToMatch("a1b22c333d");
        re.SetFormatString("<$0>");
        re.SetMergeCopy(copy);
        re.SetOnMergingClosure(StopAt(3));
        EXPECT_EQ(Merged(re), copy ? "a<1>b<22>c333d" : "<1><22>");
    }
}

TEST(CallbackMerge, EmptyExpressionGivesEmptyTextAndNoCallback)
{
    for (const char* expression : {"", "a(b"}) {
        RegularExpression re;
        re.SetExpression(expression);
        re.SetStringToMatch("abc");
        re.SetFormatString("x");
        re.SetMergeCopy(true);
        int calls = 0;
        re.SetOnMergingClosure(
            [&calls](RegularExpression*, const List&, unsigned int, unsigned int, bool&) { ++calls; });
        EXPECT_EQ(Merged(re), "");
        EXPECT_EQ(calls, 0);
        re.SetOnMergingClosure(RegularExpression::MergingClosure());
        EXPECT_EQ(Merged(re), "");
    }
}

TEST(CallbackMerge, LocaleModelIsIgnoredInsideMergingCallback)
{
    RegularExpression re;
    re.SetExpression("a");
    re.SetStringToMatch("aa");
    re.SetOnMergingClosure([](RegularExpression* self, const List&, unsigned int, unsigned int, bool&) {
        self->SetLocaleModel(RegularExpression::LocaleC);
    });
    std::string out;
    re.Merge(out);
    EXPECT_EQ(re.GetLocaleModel(), RegularExpression::LocaleCpp);
}

TEST(CallbackMerge, CallbackMayReplaceSubjectAndFormatString)
{
    RegularExpression re;
    re.SetExpression("[0-9]+");
    re.SetStringToMatch("a1b22c333");
    re.SetFormatString("<$0>");
    re.SetFormatType(RegularExpression::FormatTypePerl);
    re.SetMergeCopy(true);
    int calls = 0;
    re.SetOnMergingClosure([&calls](RegularExpression* self, const List&, unsigned int, unsigned int, bool&) {
        ++calls;
        // Large enough to move the object's buffer.
        self->SetStringToMatch(std::string(8192 + static_cast<std::size_t>(calls), 'z'));
        // The expansion of this match already reads the new format string.
        self->SetFormatString("[" + std::to_string(calls) + "$0]");
    });
    EXPECT_EQ(Merged(re), "a[11]b[222]c[3333]");
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(re.GetStringToMatch(), std::string(8192 + 3, 'z'));
}

TEST(CallbackMerge, MergeStartedFromACallbackLeavesTheOuterResult)
{
    RegularExpression re;
    re.SetExpression("[0-9]+");
    re.SetStringToMatch("a1b22c");
    re.SetFormatString("<$0>");
    re.SetMergeCopy(true);
    int depth = 0;
    std::vector<std::string> inner;
    re.SetOnMergingClosure([&](RegularExpression* self, const List&, unsigned int, unsigned int, bool&) {
        if (depth > 0)
            return;
        ++depth;
        std::string out;
        self->Merge(out);
        inner.push_back(out);
        --depth;
    });
    EXPECT_EQ(Merged(re), "a<1>b<22>c");
    EXPECT_EQ(inner, (std::vector<std::string>{"a<1>b<22>c", "a<1>b<22>c"}));
    ExpectIdle(re);
}

// ---------------------------------------------------------------------- format

TEST(FormatMatch, NothingToFormatGivesEmptyText)
{
    RegularExpression re;
    re.SetFormatString("<$0>");
    std::string out = "left over";
    re.Format(out);
    EXPECT_EQ(out, "");

    re.SetExpression("b+");
    re.SetStringToMatch("xyz");
    EXPECT_FALSE(re.Search());
    out = "left over";
    re.Format(out);
    EXPECT_EQ(out, "");
}

TEST(FormatMatch, ExpandsTheResultsOfTheLastSingleMatch)
{
    RegularExpression re;
    re.SetExpression("([a-z])([0-9]+)");
    re.SetFormatString("$2-$1");
    struct Row {
        const char* subject;
        bool (RegularExpression::*operation)();
        const char* expected;
    };
    const Row rows[] = {
        {"x a12 b3", &RegularExpression::Search, "12-a"},
        {"a12 b3", &RegularExpression::Match, "12-a"},
        {"b345", &RegularExpression::MatchAll, "345-b"},
        {"x a12", &RegularExpression::Match, ""},  // failed: nothing kept
    };
    for (const Row& row : rows) {
        re.SetStringToMatch(row.subject);
        (re.*row.operation)();
        // Changing the subject after the operation leaves its match intact.
        re.SetStringToMatch("");
        std::string out = "left over";
        re.Format(out);
        EXPECT_EQ(out, row.expected) << row.subject;
    }

    re.SetStringToMatch("a1");
    EXPECT_TRUE(re.Search());
    std::string merged;
    re.Merge(merged);
    std::string out = "left over";
    re.Format(out);
    EXPECT_EQ(out, "") << "the next operation ends the kept results";
}

TEST(FormatMatch, InsideSearchingGreppingAndMergingCallbacks)
{
    RegularExpression re;
    re.SetExpression("([a-z])([0-9]+)");
    re.SetStringToMatch("a1 b22");
    re.SetFormatString("$2-$1");
    re.SetFormatType(RegularExpression::FormatTypePerl);
    std::vector<std::string> formatted;
    auto record = [&formatted](RegularExpression* self) {
        std::string out;
        self->Format(out);
        formatted.push_back(out);
    };
    re.SetOnSearchingClosure([&](RegularExpression* self, const List&, unsigned int, unsigned int) { record(self); });
    re.SetOnGreppingClosure(
        [&](RegularExpression* self, const List&, unsigned int, unsigned int, bool&) { record(self); });
    re.SetOnMergingClosure(
        [&](RegularExpression* self, const List&, unsigned int, unsigned int, bool&) { record(self); });

    EXPECT_TRUE(re.Search());
    EXPECT_EQ(re.Grep(), 2u);
    std::string merged;
    re.Merge(merged);
    EXPECT_EQ(merged, "1-a22-b");
    EXPECT_EQ(formatted, (std::vector<std::string>{"1-a", "1-a", "22-b", "1-a", "22-b"}));

    // The format type applies to Format.
    formatted.clear();
    re.SetFormatString("\\2&");
    re.SetFormatType(RegularExpression::FormatTypeSed);
    EXPECT_TRUE(re.Search());
    EXPECT_EQ(formatted, (std::vector<std::string>{"1a1"}));
}

// ------------------------------------------------------------------- failures

TEST(MergeFailures, EngineComplexityErrorPassesAndLeavesObjectUsable)
{
    for (bool callback : {false, true}) {
        RegularExpression re;
        re.SetExpression("(.+)+xyz");
        re.SetStringToMatch(std::string(1024, ' '));
        re.SetFormatString("x");
        re.SetMergeCopy(true);
        int calls = 0;
        if (callback)
            re.SetOnMergingClosure(
                [&calls](RegularExpression*, const List&, unsigned int, unsigned int, bool&) { ++calls; });
        std::string out = "left over";
        EXPECT_THROW(re.Merge(out), std::runtime_error);
        EXPECT_EQ(out, "");
        EXPECT_EQ(calls, 0);
        ExpectIdle(re);
        std::string formatted = "left over";
        re.Format(formatted);
        EXPECT_EQ(formatted, "");

        re.SetExpression("b");
        re.SetStringToMatch("abc");
        EXPECT_EQ(Merged(re), "axc");
    }
}

TEST(MergeFailures, ExceptionFromMergingCallbackPassesToCaller)
{
    RegularExpression re;
    re.SetExpression("b");
    re.SetStringToMatch("abcb");
    re.SetFormatString("x");
    re.SetMergeCopy(true);
    re.SetOnMergingClosure(
        [](RegularExpression*, const List&, unsigned int, unsigned int, bool&) { throw std::logic_error("no"); });
    std::string out;
    EXPECT_THROW(re.Merge(out), std::logic_error);
    ExpectIdle(re);
    re.SetOnMergingClosure(AlwaysContinue());
    EXPECT_EQ(Merged(re), "axcx");
}

}  // namespace
