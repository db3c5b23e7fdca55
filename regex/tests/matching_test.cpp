// Match, MatchAll, Search, Grep: the REMatch lists, lines, the callback
// slots, and what a pass leaves behind when something throws.

#include <vantrel/RegularExpression.h>

#include "../src/MatchList.h"
#include "../src/RegularExpressionImpl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
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

bool operator==(const Call& a, const Call& b)
{
    return a.list == b.list && a.line == b.line && a.lineStart == b.lineStart;
}

void PrintTo(const Call& call, std::ostream* os)
{
    *os << "line " << call.line << " from " << call.lineStart << ": " << ::testing::PrintToString(call.list);
}

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

// -------------------------------------------------------------- the match table
// Each row is one operation over an expression and a subject: its result and
// every call it makes to its own callback slot. Every row runs under each
// locale model, once without callbacks and once with a recorder in every slot.

enum class Operation { Match, MatchAll, Search, Grep };

struct MatchRow {
    const char* name;
    const char* expression;
    const char* subject;
    Operation operation;
    unsigned int result;      // Grep's count; 1 or 0 for the others
    std::vector<Call> calls;  // in the operation's slot, in order
    bool partial = false;     // with MatchPartial
    bool compiles = true;     // else the expression error is not empty
};

const List kWholeSubjectAbc{{"abc", 0}, {"", -1}, {"", -1}};
const List kWholeSubjectAb{{"ab", 0}, {"", -1}, {"", -1}};
const List kEmptyMatchAtZero{{"", 0}, {"", -1}, {"", -1}};

// One row a line, as a table reads.
// clang-format off
const std::vector<MatchRow> kMatchRows = {
    // Single matches: whole match, one entry per group, prefix, suffix.
    {"SearchReportsMatchPrefixAndSuffix", "b", "abc", Operation::Search, 1, {{{{"b", 1}, {"a", 0}, {"c", 2}}, 1, 0}}},
    {"MatchNeedsTheMatchAtTheStart", "b", "abc", Operation::Match, 0, {}},
    {"MatchAllNeedsTheWholeSubject", "b", "abc", Operation::MatchAll, 0, {}},
    {"GroupThatTookNoPartAndEmptyPrefix", "a(x)?b", "abc", Operation::Match, 1,
     {{{{"ab", 0}, {"", -1}, {"", -1}, {"c", 2}}, 1, 0}}},
    {"GroupThatTookNoPartMatchAll", "a(x)?b", "abc", Operation::MatchAll, 0, {}},
    {"MatchAllHasEmptySuffix", "a(b)(c)", "abc", Operation::MatchAll, 1,
     {{{{"abc", 0}, {"b", 1}, {"c", 2}, {"", -1}, {"", -1}}, 1, 0}}},
    // The leftmost match only: Match, MatchAll and Search of the same pair.
    {"DotMatch", "a.c", "abc", Operation::Match, 1, {{kWholeSubjectAbc, 1, 0}}},
    {"DotMatchAll", "a.c", "abc", Operation::MatchAll, 1, {{kWholeSubjectAbc, 1, 0}}},
    {"DotSearch", "a.c", "abc", Operation::Search, 1, {{kWholeSubjectAbc, 1, 0}}},
    {"FirstAlternativeMatch", "ab|b", "ab", Operation::Match, 1, {{kWholeSubjectAb, 1, 0}}},
    {"FirstAlternativeMatchAll", "ab|b", "ab", Operation::MatchAll, 1, {{kWholeSubjectAb, 1, 0}}},
    {"FirstAlternativeSearch", "ab|b", "ab", Operation::Search, 1, {{kWholeSubjectAb, 1, 0}}},
    {"LaterStartMatch", "b|ab", "xab", Operation::Match, 0, {}},
    {"LaterStartMatchAll", "b|ab", "xab", Operation::MatchAll, 0, {}},
    {"LaterStartSearch", "b|ab", "xab", Operation::Search, 1, {{{{"ab", 1}, {"x", 0}, {"", -1}}, 1, 0}}},
    {"EmptySubjectMatch", "a", "", Operation::Match, 0, {}},
    {"EmptySubjectMatchAll", "a", "", Operation::MatchAll, 0, {}},
    {"EmptySubjectSearch", "a", "", Operation::Search, 0, {}},
    {"EmptyMatchOfEmptySubjectMatch", "a*", "", Operation::Match, 1, {{kEmptyMatchAtZero, 1, 0}}},
    {"EmptyMatchOfEmptySubjectMatchAll", "a*", "", Operation::MatchAll, 1, {{kEmptyMatchAtZero, 1, 0}}},
    {"EmptyMatchOfEmptySubjectSearch", "a*", "", Operation::Search, 1, {{kEmptyMatchAtZero, 1, 0}}},
    {"SubjectTooShortMatch", "abc", "ab", Operation::Match, 0, {}},
    {"SubjectTooShortMatchAll", "abc", "ab", Operation::MatchAll, 0, {}},
    {"SubjectTooShortSearch", "abc", "ab", Operation::Search, 0, {}},
    {"SearchCountsLinesBeforeTheMatch", "x", "a\nbx", Operation::Search, 1,
     {{{{"x", 3}, {"a\nb", 0}, {"", -1}}, 2, 2}}},
    {"PartialMatchNeedsTheOption", "abcd", "xxab", Operation::Search, 0, {}},
    {"PartialMatchReportsTheTextFound", "abcd", "xxab", Operation::Search, 1,
     {{{{"ab", 2}, {"xx", 0}, {"", -1}}, 1, 0}},
     true},
    // Grep: the prefix starts at the end of the previous match.
    {"PrefixStartsAtTheEndOfThePreviousMatch", "o", "foo boo", Operation::Grep, 4,
     {{{{"o", 1}, {"f", 0}, {"o boo", 2}}, 1, 0},
      {{{"o", 2}, {"", -1}, {" boo", 3}}, 1, 0},
      {{{"o", 5}, {" b", 3}, {"o", 6}}, 1, 0},
      {{{"o", 6}, {"", -1}, {"", -1}}, 1, 0}}},
    {"ListsOfSuccessiveMatchesDoNotShareStaleText", "([a-z])?([0-9]+)", "1b22xy333", Operation::Grep, 3,
     {{{{"1", 0}, {"", -1}, {"1", 0}, {"", -1}, {"b22xy333", 1}}, 1, 0},
      {{{"b22", 1}, {"b", 1}, {"22", 2}, {"", -1}, {"xy333", 4}}, 1, 0},
      {{{"y333", 5}, {"y", 5}, {"333", 6}, {"x", 4}, {"", -1}}, 1, 0}}},
    {"LineAndLineStartAcrossLines", "x", "x\nab x\n\n x\n", Operation::Grep, 3,
     {{{{"x", 0}, {"", -1}, {"\nab x\n\n x\n", 1}}, 1, 0},
      {{{"x", 5}, {"\nab ", 1}, {"\n\n x\n", 6}}, 2, 2},
      {{{"x", 9}, {"\n\n ", 6}, {"\n", 10}}, 4, 8}}},
};
// clang-format on

// An expression that does not compile: every operation gives 0 and calls nothing.
std::vector<MatchRow> NotCompilingRows()
{
    std::vector<MatchRow> rows;
    for (const char* expression : {"a(b", ""}) {
        for (Operation operation : {Operation::Match, Operation::MatchAll, Operation::Search, Operation::Grep})
            rows.push_back(
                {"ExpressionThatDoesNotCompileCallsNothing", expression, "aab", operation, 0, {}, false, false});
    }
    return rows;
}

unsigned int Run(RegularExpression& re, Operation operation)
{
    switch (operation) {
    case Operation::Match:
        return re.Match() ? 1u : 0u;
    case Operation::MatchAll:
        return re.MatchAll() ? 1u : 0u;
    case Operation::Search:
        return re.Search() ? 1u : 0u;
    case Operation::Grep:
        break;
    }
    return re.Grep();
}

const char* OperationName(Operation operation)
{
    switch (operation) {
    case Operation::Match:
        return "Match";
    case Operation::MatchAll:
        return "MatchAll";
    case Operation::Search:
        return "Search";
    case Operation::Grep:
        break;
    }
    return "Grep";
}

// What Format can still expand after the row's operation.
std::string ExpectedKeptMatch(const MatchRow& row)
{
    // A Grep keeps none; a single match keeps the match it reported. The
    // engine marks a partial match as not matched, so its kept text is empty.
    if (row.operation == Operation::Grep || row.result == 0)
        return "<none>";
    return row.partial ? "" : row.calls.at(0).list.at(0).text;
}

void ExpectRow(const MatchRow& row, RegularExpression::LocaleModels model)
{
    SCOPED_TRACE(std::string(row.name) + ": " + OperationName(row.operation) + " of '" + row.expression + "' over '" +
                 row.subject + "' in locale model " + std::to_string(model));
    RegularExpression re;
    re.SetLocaleModel(model);
    Configure(re, row.expression, row.subject);
    if (row.partial)
        re.AddMatchOption(RegularExpression::MatchPartial);
    EXPECT_EQ(Run(re, row.operation), row.result) << "without callbacks";

    std::vector<Call> matching, searching, grepping;
    re.SetOnMatchingClosure(SingleRecorder(matching));
    re.SetOnSearchingClosure(SingleRecorder(searching));
    re.SetOnGreppingClosure(Recorder(grepping));
    EXPECT_EQ(Run(re, row.operation), row.result);
    std::vector<Call>* own = &grepping;
    if (row.operation == Operation::Search)
        own = &searching;
    else if (row.operation != Operation::Grep)
        own = &matching;
    EXPECT_EQ(*own, row.calls);
    for (const std::vector<Call>* slot : {&matching, &searching, &grepping}) {
        if (slot != own) {
            EXPECT_TRUE(slot->empty()) << "another operation's slot was called";
        }
    }
    EXPECT_EQ(KeptMatch(re), ExpectedKeptMatch(row));
    EXPECT_EQ(re.GetExpressionError().empty(), row.compiles);
    ExpectIdle(re);
}

class MatchTable : public ::testing::TestWithParam<RegularExpression::LocaleModels> {};

TEST_P(MatchTable, EveryRowGivesItsResultAndCalls)
{
    for (const MatchRow& row : kMatchRows)
        ExpectRow(row, GetParam());
    for (const MatchRow& row : NotCompilingRows())
        ExpectRow(row, GetParam());
}

INSTANTIATE_TEST_SUITE_P(LocaleModels, MatchTable,
                         ::testing::Values(RegularExpression::LocaleCpp, RegularExpression::LocaleWin32,
                                           RegularExpression::LocaleC),
                         [](const ::testing::TestParamInfo<RegularExpression::LocaleModels>& model) {
                             switch (model.param) {
                             case RegularExpression::LocaleWin32:
                                 return std::string("Win32");
                             case RegularExpression::LocaleC:
                                 return std::string("C");
                             default:
                                 return std::string("Cpp");
                             }
                         });

// ------------------------------------------------------------ single matches

TEST(SingleMatch, FailedOperationKeepsNothingToFormat)
{
    RegularExpression re;
    Configure(re, "b", "abc");
    EXPECT_TRUE(re.Search());
    EXPECT_EQ(KeptMatch(re), "b");
    EXPECT_FALSE(re.Match());
    EXPECT_EQ(KeptMatch(re), "<none>");
    EXPECT_TRUE(re.Search());
    EXPECT_FALSE(re.MatchAll());
    EXPECT_EQ(KeptMatch(re), "<none>");
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
