// Match, MatchAll, Search, Grep: the REMatch lists, lines, the callback
// slots, and what a pass leaves behind when something throws.

#include <vantrel/RegularExpression.h>

#include "../src/MatchList.h"
#include "../src/RegularExpressionImpl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace RegexClass {
bool operator==(const REMatch& a, const REMatch& b)
{
    return a.text == b.text && a.position == b.position;
}
void PrintTo(const REMatch& m, std::ostream* os)
{
    *os << "{'" << m.text << "', " << m.position << "}";
}
}  // namespace RegexClass

namespace {

using RegexClass::RegularExpression;
using RegexClass::REMatch;
using List = std::vector<REMatch>;

struct Call {
    List list;
    unsigned int line;
    unsigned int lineStart;
};

// Records every Grepping call; the list is copied since it is valid only during the call.
RegularExpression::GreppingClosure Recorder(std::vector<Call>& calls, unsigned int stopAfter = 0)
{
    return [&calls, stopAfter](RegularExpression*, const List& list, unsigned int line, unsigned int lineStart,
                               bool& continueFlag) {
        calls.push_back({list, line, lineStart});
        if (stopAfter != 0 && calls.size() == stopAfter)
            continueFlag = false;
    };
}

RegularExpression::MatchingClosure SingleRecorder(std::vector<Call>& calls)
{
    return [&calls](RegularExpression*, const List& list, unsigned int line, unsigned int lineStart) {
        calls.push_back({list, line, lineStart});
    };
}

void Configure(RegularExpression& re, const std::string& expression, const std::string& subject)
{
    re.SetExpression(expression);
    re.SetStringToMatch(subject);
}

// The state a finished operation must leave, whichever way it ended.
void ExpectIdle(RegularExpression& re)
{
    EXPECT_FALSE(re.Impl().busy);
    EXPECT_EQ(re.Impl().stepMatch, nullptr);
}

// The whole match of the results kept for Format, or "<none>".
std::string KeptMatch(RegularExpression& re)
{
    const auto& kept = re.Impl().currentResults;
    return kept ? kept->match[0].str() : "<none>";
}

// ------------------------------------------------------------ single matches

TEST(SingleMatch, SearchReportsMatchPrefixAndSuffix)
{
    RegularExpression re;
    Configure(re, "b", "abc");
    std::vector<Call> searching, matching;
    re.SetOnSearchingClosure(SingleRecorder(searching));
    re.SetOnMatchingClosure(SingleRecorder(matching));

    EXPECT_TRUE(re.Search());
    ASSERT_EQ(searching.size(), 1u);
    EXPECT_EQ(searching[0].list, (List{{"b", 1}, {"a", 0}, {"c", 2}}));
    EXPECT_EQ(searching[0].line, 1u);
    EXPECT_EQ(searching[0].lineStart, 0u);

    EXPECT_EQ(KeptMatch(re), "b");
    EXPECT_FALSE(re.Match());
    EXPECT_FALSE(re.MatchAll());
    EXPECT_TRUE(matching.empty());
    ExpectIdle(re);
    // A failed operation keeps nothing to format.
    EXPECT_EQ(KeptMatch(re), "<none>");
}

TEST(SingleMatch, GroupThatTookNoPartAndEmptyPrefix)
{
    RegularExpression re;
    Configure(re, "a(x)?b", "abc");
    std::vector<Call> calls;
    re.SetOnMatchingClosure(SingleRecorder(calls));

    EXPECT_TRUE(re.Match());
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].list, (List{{"ab", 0}, {"", -1}, {"", -1}, {"c", 2}}));
    EXPECT_EQ(calls[0].line, 1u);
    EXPECT_EQ(calls[0].lineStart, 0u);
    EXPECT_FALSE(re.MatchAll());
    EXPECT_EQ(calls.size(), 1u);
}

TEST(SingleMatch, MatchAllHasEmptySuffix)
{
    RegularExpression re;
    Configure(re, "a(b)(c)", "abc");
    std::vector<Call> calls;
    re.SetOnMatchingClosure(SingleRecorder(calls));

    EXPECT_TRUE(re.MatchAll());
    ASSERT_EQ(calls.size(), 1u);
    // One entry per group besides the whole match, then prefix and suffix.
    EXPECT_EQ(calls[0].list, (List{{"abc", 0}, {"b", 1}, {"c", 2}, {"", -1}, {"", -1}}));
}

TEST(SingleMatch, MatchTakesTheLeftmostMatchOnly)
{
    struct Row {
        const char* expression;
        const char* subject;
        bool match, matchAll, search;
    };
    const Row rows[] = {
        {"b", "abc", false, false, true},    {"a.c", "abc", true, true, true}, {"ab|b", "ab", true, true, true},
        {"b|ab", "xab", false, false, true}, {"a", "", false, false, false},   {"a*", "", true, true, true},
        {"abc", "ab", false, false, false},
    };
    for (const Row& row : rows) {
        RegularExpression re;
        Configure(re, row.expression, row.subject);
        EXPECT_EQ(re.Match(), row.match) << row.expression << " / " << row.subject;
        EXPECT_EQ(re.MatchAll(), row.matchAll) << row.expression << " / " << row.subject;
        EXPECT_EQ(re.Search(), row.search) << row.expression << " / " << row.subject;
    }
}

TEST(SingleMatch, SearchCountsLinesBeforeTheMatch)
{
    RegularExpression re;
    Configure(re, "x", "a\nbx");
    std::vector<Call> calls;
    re.SetOnSearchingClosure(SingleRecorder(calls));
    EXPECT_TRUE(re.Search());
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].line, 2u);
    EXPECT_EQ(calls[0].lineStart, 2u);
    EXPECT_EQ(calls[0].list[0], (REMatch{"x", 3}));
}

TEST(SingleMatch, PartialMatchReportsTheTextFound)
{
    RegularExpression re;
    Configure(re, "abcd", "xxab");
    EXPECT_FALSE(re.Search());
    re.AddMatchOption(RegularExpression::MatchPartial);
    std::vector<Call> calls;
    re.SetOnSearchingClosure(SingleRecorder(calls));
    EXPECT_TRUE(re.Search());
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].list, (List{{"ab", 2}, {"xx", 0}, {"", -1}}));
}

TEST(SingleMatch, LocaleModelCanChangeInsideMatchingCallback)
{
    RegularExpression re;
    Configure(re, "a", "a");
    bool busyInside = true;
    re.SetOnMatchingClosure([&](RegularExpression* self, const List&, unsigned int, unsigned int) {
        busyInside = self->Impl().busy;
        self->SetLocaleModel(RegularExpression::LocaleC);
    });
    EXPECT_TRUE(re.Match());
    EXPECT_FALSE(busyInside);
    EXPECT_EQ(re.GetLocaleModel(), RegularExpression::LocaleC);
}

TEST(SingleMatch, ResultsLastUntilTheNextOperation)
{
    RegularExpression re;
    Configure(re, "b+", "abbc");
    std::string seenText;
    re.SetOnSearchingClosure(
        [&](RegularExpression* self, const List&, unsigned int, unsigned int) { seenText = KeptMatch(*self); });
    EXPECT_TRUE(re.Search());
    EXPECT_EQ(seenText, "bb");
    ExpectIdle(re);
    // They hold their own subject: replacing the object's does not touch them.
    re.SetStringToMatch(std::string(1000, 'z'));
    EXPECT_EQ(KeptMatch(re), "bb");

    re.SetStringToMatch("xbbbx");
    EXPECT_FALSE(re.MatchAll());
    EXPECT_EQ(KeptMatch(re), "<none>");
    EXPECT_TRUE(re.Search());
    EXPECT_EQ(KeptMatch(re), "bbb");
    EXPECT_EQ(re.Grep(), 1u);
    EXPECT_EQ(KeptMatch(re), "<none>");
    EXPECT_TRUE(re.Search());
    std::vector<std::string> pieces;
    re.Split(pieces);
    EXPECT_EQ(KeptMatch(re), "<none>");
    // The file operations are operations too, even one with no pattern.
    using FileOperation = unsigned int (RegularExpression::*)();
    for (FileOperation op :
         {&RegularExpression::FindFiles, &RegularExpression::GrepFiles, &RegularExpression::ChangeFiles}) {
        EXPECT_TRUE(re.Search());
        (re.*op)();
        EXPECT_EQ(KeptMatch(re), "<none>");
    }
}

TEST(SingleMatch, CallbackMayReplaceTheSubject)
{
    RegularExpression re;
    Configure(re, "b+", "abbc");
    std::string afterChange;
    re.SetOnSearchingClosure([&](RegularExpression* self, const List&, unsigned int, unsigned int) {
        self->SetStringToMatch(std::string(1000, 'z'));
        // The results still describe the subject that was searched.
        afterChange = KeptMatch(*self);
    });
    EXPECT_TRUE(re.Search());
    EXPECT_EQ(afterChange, "bb");
    EXPECT_EQ(re.GetStringToMatch(), std::string(1000, 'z'));
}

// ----------------------------------------------------------------------- grep

TEST(GrepPass, CountsWithoutCallback)
{
    RegularExpression re;
    Configure(re, "o", "foo boo");
    EXPECT_EQ(re.Grep(), 4u);
    ExpectIdle(re);
}

TEST(GrepPass, PrefixStartsAtTheEndOfThePreviousMatch)
{
    RegularExpression re;
    Configure(re, "o", "foo boo");
    std::vector<Call> calls;
    re.SetOnGreppingClosure(Recorder(calls));
    EXPECT_EQ(re.Grep(), 4u);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].list, (List{{"o", 1}, {"f", 0}, {"o boo", 2}}));
    EXPECT_EQ(calls[1].list, (List{{"o", 2}, {"", -1}, {" boo", 3}}));
    EXPECT_EQ(calls[2].list, (List{{"o", 5}, {" b", 3}, {"o", 6}}));
    EXPECT_EQ(calls[3].list, (List{{"o", 6}, {"", -1}, {"", -1}}));
}

TEST(GrepPass, ListsOfSuccessiveMatchesDoNotShareStaleText)
{
    RegularExpression re;
    Configure(re, "([a-z])?([0-9]+)", "1b22xy333");
    std::vector<Call> calls;
    re.SetOnGreppingClosure(Recorder(calls));
    EXPECT_EQ(re.Grep(), 3u);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].list, (List{{"1", 0}, {"", -1}, {"1", 0}, {"", -1}, {"b22xy333", 1}}));
    EXPECT_EQ(calls[1].list, (List{{"b22", 1}, {"b", 1}, {"22", 2}, {"", -1}, {"xy333", 4}}));
    EXPECT_EQ(calls[2].list, (List{{"y333", 5}, {"y", 5}, {"333", 6}, {"x", 4}, {"", -1}}));
}

TEST(GrepPass, StopsWhenCallbackClearsFlag)
{
    for (unsigned int stopAfter : {1u, 2u, 3u}) {
        RegularExpression re;
        Configure(re, "o", "foo boo");
        std::vector<Call> calls;
        re.SetOnGreppingClosure(Recorder(calls, stopAfter));
        EXPECT_EQ(re.Grep(), stopAfter);
        EXPECT_EQ(calls.size(), stopAfter);
    }
}

TEST(GrepPass, LineAndLineStartAcrossLines)
{
    RegularExpression re;
    Configure(re, "x", "x\nab x\n\n x\n");
    std::vector<Call> calls;
    re.SetOnGreppingClosure(Recorder(calls));
    EXPECT_EQ(re.Grep(), 3u);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].line, 1u);
    EXPECT_EQ(calls[0].lineStart, 0u);
    EXPECT_EQ(calls[1].line, 2u);
    EXPECT_EQ(calls[1].lineStart, 2u);
    EXPECT_EQ(calls[2].line, 4u);
    EXPECT_EQ(calls[2].lineStart, 8u);
}

TEST(GrepPass, LinesAgreeWithACountFromScratch)
{
    // Matches that span newlines, sit right after one, and several per line.
    std::mt19937 random(7);
    const char alphabet[] = "ab\n\nk";
    std::string subject;
    for (int i = 0; i < 4000; ++i)
        subject += alphabet[random() % 5];
    RegularExpression re;
    Configure(re, "k[^k]?\n?", subject);
    std::vector<Call> calls;
    re.SetOnGreppingClosure(Recorder(calls));
    const unsigned int count = re.Grep();
    ASSERT_EQ(calls.size(), count);
    ASSERT_GT(count, 100u);
    for (const Call& call : calls) {
        const std::size_t at = static_cast<std::size_t>(call.list[0].position);
        const std::string before = subject.substr(0, at);
        const unsigned int line = 1 + static_cast<unsigned int>(std::count(before.begin(), before.end(), '\n'));
        const std::size_t lastNewline = before.rfind('\n');
        const unsigned int lineStart =
            lastNewline == std::string::npos ? 0 : static_cast<unsigned int>(lastNewline + 1);
        ASSERT_EQ(call.line, line) << "match at " << at;
        ASSERT_EQ(call.lineStart, lineStart) << "match at " << at;
    }
}

TEST(GrepPass, ExpressionThatDoesNotCompileCallsNothing)
{
    for (const char* expression : {"a(b", ""}) {
        RegularExpression re;
        Configure(re, expression, "aab");
        std::vector<Call> calls, single;
        re.SetOnGreppingClosure(Recorder(calls));
        re.SetOnMatchingClosure(SingleRecorder(single));
        re.SetOnSearchingClosure(SingleRecorder(single));
        EXPECT_EQ(re.Grep(), 0u) << expression;
        EXPECT_FALSE(re.Match()) << expression;
        EXPECT_FALSE(re.MatchAll()) << expression;
        EXPECT_FALSE(re.Search()) << expression;
        EXPECT_TRUE(calls.empty());
        EXPECT_TRUE(single.empty());
        EXPECT_FALSE(re.GetExpressionError().empty()) << expression;
        ExpectIdle(re);
    }
}

TEST(GrepPass, CallbackMayChangeTheSubject)
{
    RegularExpression re;
    Configure(re, "o", "foo boo");
    std::vector<unsigned int> positions;
    re.SetOnGreppingClosure([&](RegularExpression* self, const List& list, unsigned int, unsigned int, bool&) {
        positions.push_back(static_cast<unsigned int>(list[0].position));
        // Large enough to move the object's buffer.
        self->SetStringToMatch(std::string(4096 + positions.size(), 'q'));
    });
    EXPECT_EQ(re.Grep(), 4u);
    EXPECT_EQ(positions, (std::vector<unsigned int>{1, 2, 5, 6}));
    EXPECT_EQ(re.GetStringToMatch(), std::string(4096 + 4, 'q'));
}

TEST(GrepPass, LocaleModelIsIgnoredInsideGreppingCallback)
{
    RegularExpression re;
    Configure(re, "o", "foo");
    re.SetOnGreppingClosure([](RegularExpression* self, const List&, unsigned int, unsigned int, bool&) {
        self->SetLocaleModel(RegularExpression::LocaleC);
    });
    EXPECT_EQ(re.Grep(), 2u);
    EXPECT_EQ(re.GetLocaleModel(), RegularExpression::LocaleCpp);
}

TEST(GrepPass, StepMatchIsTheReportedMatch)
{
    RegularExpression re;
    Configure(re, "[0-9]+", "a1b22");
    std::vector<std::string> steps;
    re.SetOnGreppingClosure([&](RegularExpression* self, const List&, unsigned int, unsigned int, bool&) {
        const RegexClass::MatchRecord* step = self->Impl().stepMatch;
        steps.push_back(step ? (*step)[0].str() : std::string("<none>"));
    });
    EXPECT_EQ(re.Grep(), 2u);
    EXPECT_EQ(steps, (std::vector<std::string>{"1", "22"}));
    ExpectIdle(re);
}

// ------------------------------------------------------------- callback slots

std::vector<Call> g_plainCalls;

void VANTREL_CALLBACK PlainGrepping(RegularExpression*, const List& list, unsigned int line, unsigned int lineStart,
                                    bool&)
{
    g_plainCalls.push_back({list, line, lineStart});
}

void VANTREL_CALLBACK PlainMatching(RegularExpression*, const List& list, unsigned int line, unsigned int lineStart)
{
    g_plainCalls.push_back({list, line, lineStart});
}

TEST(CallbackSlots, PlainFunctionEmptiesClosureAndNullClearsOnlyItself)
{
    g_plainCalls.clear();
    RegularExpression re;
    Configure(re, "o", "foo");
    std::vector<Call> closureCalls;
    re.SetOnGreppingClosure(Recorder(closureCalls));
    re.SetOnGrepping(&PlainGrepping);
    EXPECT_TRUE(re.GetOnGreppingClosure().empty());
    EXPECT_EQ(re.GetOnGrepping(), &PlainGrepping);
    EXPECT_EQ(re.Grep(), 2u);
    EXPECT_EQ(g_plainCalls.size(), 2u);
    EXPECT_TRUE(closureCalls.empty());

    re.SetOnGrepping(nullptr);
    EXPECT_EQ(re.GetOnGrepping(), nullptr);
    EXPECT_TRUE(re.GetOnGreppingClosure().empty());
    EXPECT_EQ(re.Grep(), 2u);
    EXPECT_EQ(g_plainCalls.size(), 2u);
}

TEST(CallbackSlots, ClosureEmptiesPlainFunctionAndEmptyClosureClearsOnlyItself)
{
    g_plainCalls.clear();
    RegularExpression re;
    Configure(re, "o", "foo");
    re.SetOnMatching(&PlainMatching);
    re.SetOnMatchingClosure(RegularExpression::MatchingClosure());
    EXPECT_EQ(re.GetOnMatching(), &PlainMatching);

    std::vector<Call> closureCalls;
    re.SetOnMatchingClosure(SingleRecorder(closureCalls));
    EXPECT_EQ(re.GetOnMatching(), nullptr);
    Configure(re, "f", "foo");
    EXPECT_TRUE(re.Match());
    EXPECT_EQ(closureCalls.size(), 1u);
    EXPECT_TRUE(g_plainCalls.empty());

    // The getter hands out a copy that calls the same target.
    RegularExpression::MatchingClosure copy = re.GetOnMatchingClosure();
    ASSERT_FALSE(copy.empty());
    copy(&re, List{}, 1, 0);
    EXPECT_EQ(closureCalls.size(), 2u);
}

TEST(CallbackSlots, PlainFunctionsReceiveTheSameLists)
{
    g_plainCalls.clear();
    RegularExpression re;
    Configure(re, "o", "foo boo");
    re.SetOnGrepping(&PlainGrepping);
    EXPECT_EQ(re.Grep(), 4u);
    ASSERT_EQ(g_plainCalls.size(), 4u);
    EXPECT_EQ(g_plainCalls[2].list, (List{{"o", 5}, {" b", 3}, {"o", 6}}));
}

TEST(CallbackSlots, ClosureKeepsItsStateAcrossCalls)
{
    RegularExpression re;
    Configure(re, "o", "foo boo");
    int total = 0;
    re.SetOnGreppingClosure([&total, count = 0](RegularExpression*, const List&, unsigned int, unsigned int,
                                                bool&) mutable { total = ++count; });
    EXPECT_EQ(re.Grep(), 4u);
    EXPECT_EQ(total, 4);
}

TEST(CallbackSlots, CallbackMayClearItsSlotDuringAPass)
{
    RegularExpression re;
    Configure(re, "o", "foo boo");
    int calls = 0;
    re.SetOnGreppingClosure([&calls](RegularExpression* self, const List&, unsigned int, unsigned int, bool&) {
        ++calls;
        self->SetOnGrepping(&PlainGrepping);
    });
    g_plainCalls.clear();
    EXPECT_EQ(re.Grep(), 4u);
    // The first call installed the plain function, which reports the rest.
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(g_plainCalls.size(), 3u);
}

// -------------------------------------------------------------------- failures

TEST(Failures, EngineComplexityErrorPassesAndLeavesObjectUsable)
{
    const std::string blanks(1024, ' ');
    for (int operation = 0; operation < 4; ++operation) {
        RegularExpression re;
        Configure(re, "(.+)+xyz", blanks);
        std::vector<Call> calls;
        re.SetOnGreppingClosure(Recorder(calls));
        re.SetOnSearchingClosure(SingleRecorder(calls));
        re.SetOnMatchingClosure(SingleRecorder(calls));
        switch (operation) {
        case 0:
            EXPECT_THROW(re.Match(), std::runtime_error);
            break;
        case 1:
            EXPECT_THROW(re.MatchAll(), std::runtime_error);
            break;
        case 2:
            EXPECT_THROW(re.Search(), std::runtime_error);
            break;
        default:
            EXPECT_THROW(re.Grep(), std::runtime_error);
            break;
        }
        ExpectIdle(re);
        EXPECT_EQ(KeptMatch(re), "<none>");
        EXPECT_TRUE(calls.empty());
        re.SetLocaleModel(RegularExpression::LocaleC);
        EXPECT_EQ(re.GetLocaleModel(), RegularExpression::LocaleC) << "busy left set by operation " << operation;

        Configure(re, "b", "abcb");
        EXPECT_EQ(re.Grep(), 2u);
        EXPECT_TRUE(re.Search());
        ExpectIdle(re);
    }
}

TEST(Failures, EngineErrorAfterSomeMatchesOfAGrep)
{
    RegularExpression re;
    // The first two matches are cheap; the run of blanks after them is not.
    Configure(re, "(a|(.+)+xyz)", "aa" + std::string(1024, ' '));
    std::vector<Call> calls;
    re.SetOnGreppingClosure(Recorder(calls));
    EXPECT_THROW(re.Grep(), std::runtime_error);
    EXPECT_EQ(calls.size(), 2u);
    ExpectIdle(re);
    Configure(re, "a", "aa");
    EXPECT_EQ(re.Grep(), 2u);
    EXPECT_EQ(calls.size(), 4u);
}

TEST(Failures, ExceptionFromCallbackPassesToCaller)
{
    RegularExpression re;
    Configure(re, "o", "foo boo");
    int calls = 0;
    re.SetOnGreppingClosure([&calls](RegularExpression*, const List&, unsigned int, unsigned int, bool&) {
        if (++calls == 2)
            throw std::logic_error("stop here");
    });
    EXPECT_THROW(re.Grep(), std::logic_error);
    EXPECT_EQ(calls, 2);
    ExpectIdle(re);

    re.SetOnSearchingClosure(
        [](RegularExpression*, const List&, unsigned int, unsigned int) { throw std::logic_error("no"); });
    EXPECT_THROW(re.Search(), std::logic_error);
    ExpectIdle(re);

    re.SetOnGreppingClosure(RegularExpression::GreppingClosure());
    EXPECT_EQ(re.Grep(), 4u);
}

TEST(Failures, OperationsStartedFromACallbackLeaveTheOuterPassIntact)
{
    RegularExpression re;
    Configure(re, "o", "foo boo");
    int depth = 0;
    std::vector<unsigned int> innerGreps;
    std::vector<bool> innerMatches;
    std::vector<std::string> stepAfterInner;
    std::vector<std::string> reported;  // depth:position of every call
    re.SetOnGreppingClosure([&](RegularExpression* self, const List& list, unsigned int, unsigned int, bool&) {
        reported.push_back(std::to_string(depth) + ":" + std::to_string(list[0].position));
        if (depth > 0 || reported.size() > 4)
            return;
        ++depth;
        self->SetStringToMatch("oxo");
        innerGreps.push_back(self->Grep());
        innerMatches.push_back(self->Match());
        --depth;
        const RegexClass::MatchRecord* step = self->Impl().stepMatch;
        stepAfterInner.push_back(step ? (*step)[0].str() + "@" +
                                         std::to_string(step->position(RegexClass::MatchRecord::size_type(0)))
                                      : "<none>");
        EXPECT_TRUE(self->Impl().busy);
        EXPECT_EQ(self->Impl().currentResults, nullptr);
    });
    EXPECT_EQ(re.Grep(), 4u);
    EXPECT_EQ(innerGreps, (std::vector<unsigned int>{2, 2}));
    EXPECT_EQ(innerMatches, (std::vector<bool>{true, true}));
    EXPECT_EQ(stepAfterInner, (std::vector<std::string>{"o@1", "o@2"}));
    // The outer pass went on over the subject it started with.
    EXPECT_EQ(reported, (std::vector<std::string>{"0:1", "1:0", "1:2", "0:2", "1:0", "1:2", "0:5", "0:6"}));
    ExpectIdle(re);
}

TEST(Failures, SearchStartedFromASearchingCallback)
{
    RegularExpression re;
    Configure(re, "b", "abc");
    int depth = 0;
    std::vector<std::string> seen;
    re.SetOnSearchingClosure([&](RegularExpression* self, const List& list, unsigned int, unsigned int) {
        seen.push_back(list[0].text);
        if (depth++ == 0) {
            self->SetExpression("c");
            EXPECT_TRUE(self->Search());
            // The outer results are back after the nested operation.
            ASSERT_NE(self->Impl().currentResults, nullptr);
            seen.push_back(KeptMatch(*self));
        }
    });
    EXPECT_TRUE(re.Search());
    EXPECT_EQ(seen, (std::vector<std::string>{"b", "c", "b"}));
    ExpectIdle(re);
}

TEST(Failures, RecompilingFromACallbackDoesNotDisturbTheRunningPass)
{
    RegularExpression re;
    Configure(re, "[0-9]+", "a1b22c333");
    std::vector<std::string> texts;
    re.SetOnGreppingClosure([&](RegularExpression* self, const List& list, unsigned int, unsigned int, bool&) {
        texts.push_back(list[0].text);
        self->SetExpression("(x)(y)(z)" + std::to_string(texts.size()));
        EXPECT_EQ(self->ParseExpression(), RegularExpression::NoError);
    });
    EXPECT_EQ(re.Grep(), 3u);
    EXPECT_EQ(texts, (std::vector<std::string>{"1", "22", "333"}));
}

TEST(Failures, SubjectsOf2GiBAreBeyondThePositions)
{
    using RegexClass::detail::SubjectFitsPositions;
    EXPECT_TRUE(SubjectFitsPositions(0));
    EXPECT_TRUE(SubjectFitsPositions(0x7FFFFFFFu));
    EXPECT_FALSE(SubjectFitsPositions(0x80000000u));
    EXPECT_FALSE(SubjectFitsPositions(static_cast<std::size_t>(-1)));
}

}  // namespace
