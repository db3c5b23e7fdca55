#include <vantrel/RegularExpression.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <set>
#include <string>

using RegexClass::RegularExpression;
using RE = RegularExpression;

namespace {

std::set<int> ExpressionOptions(const RE& re)
{
    std::set<int> present;
    for (int o = 0; o <= 25; ++o)
        if (re.IsExpressionOption(static_cast<RE::Options>(o)))
            present.insert(o);
    return present;
}

std::set<int> MatchOptions(const RE& re)
{
    std::set<int> present;
    for (int m = 0; m <= 15; ++m)
        if (re.IsMatchOption(static_cast<RE::Matches>(m)))
            present.insert(m);
    return present;
}

void SetOptions(RE& re, std::initializer_list<int> options)
{
    re.ClearExpressionOptions();
    for (int o : options)
        re.AddExpressionOption(static_cast<RE::Options>(o));
}

std::string Show(const std::set<int>& s)
{
    std::string text = "{";
    for (int v : s)
        text += std::to_string(v) + " ";
    return text + "}";
}

}  // namespace

TEST(Options, NewObjectHasTheDocumentedDefaults)
{
    RE re;
    EXPECT_EQ(ExpressionOptions(re), (std::set<int>{0, 1, 2, 8, 12, 15}));
    EXPECT_EQ(MatchOptions(re), (std::set<int>{0}));
    EXPECT_EQ(re.GetFormatType(), RE::FormatTypeAll);
    EXPECT_EQ(re.GetLocaleModel(), RE::LocaleCpp);
    EXPECT_TRUE(re.GetContinueFiles());
    EXPECT_FALSE(re.GetDirectoryRecursion());
    EXPECT_FALSE(re.GetMergeCopy());
    EXPECT_FALSE(re.GetMergeOnlyFirst());
    EXPECT_FALSE(re.GetSplitInputDelete());
    EXPECT_EQ(re.GetMaximumSplits(), 0u);
    EXPECT_EQ(re.GetLocale(), std::locale());
}

// Each row starts from a set built option by option, then adds or deletes one option.
TEST(Options, FamilyRulesOnAddAndDelete)
{
    struct Row {
        const char* name;
        std::initializer_list<int> start;  // empty list: the defaults of a new object
        bool add;
        int option;
        std::set<int> expected;
    };
    const Row rows[] = {
        {"extended onto defaults", {}, true, RE::SyntaxExtended, {1, 2, 8, 14}},
        {"egrep onto extended", {1, 2, 8, 14}, true, RE::SyntaxEgrep, {1, 2, 4, 8, 19}},
        {"emacs onto awk", {0, 1, 2, 8, 17}, true, RE::SyntaxEmacs, {6, 7, 8, 9, 16}},
        {"perl onto normal keeps components", {}, true, RE::SyntaxPerl, {0, 1, 2, 8, 12, 21}},
        {"sed onto basic removes only basic", {13}, true, RE::SyntaxSed, {1, 2, 3, 6, 7, 8, 20}},
        {"icase keeps normal", {}, true, RE::IgnoreCase, {0, 1, 2, 8, 11, 12, 15}},
        {"delete normal empties", {}, false, RE::SyntaxNormal, {}},
        {"delete a component drops the family", {}, false, RE::NoCollate, {0, 1, 2, 8}},
        {"delete sed drops basic components", {20}, false, RE::SyntaxSed, {}},
        {"collate back infers normal", {0, 1, 2, 8}, true, RE::NoCollate, {0, 1, 2, 8, 12, 15}},
        {"delete a component of perl", {21}, false, RE::NoCollate, {0, 1, 2, 8}},
        {"basic inferred", {1, 2, 3, 6, 7}, true, RE::BkRefs, {1, 2, 3, 6, 7, 8, 13}},
        {"grep inferred", {1, 2, 3, 6, 7, 8}, true, RE::NewlineAlt, {1, 2, 3, 4, 6, 7, 8, 18}},
        {"awk inferred", {1, 2, 8}, true, RE::EscapeInLists, {0, 1, 2, 8, 17}},
        {"egrep inferred", {1, 2, 8}, true, RE::NewlineAlt, {1, 2, 4, 8, 19}},
        {"emacs inferred", {6, 7, 8}, true, RE::BkVbar, {6, 7, 8, 9, 16}},
        {"unrelated option infers nothing", {1}, true, RE::Literal, {1, 10}},
        {"value outside the enumeration still infers", {1, 2, 8}, true, 40, {1, 2, 8, 14, 40}},
    };
    for (const Row& row : rows) {
        RE re;
        if (row.start.size() != 0)
            SetOptions(re, row.start);
        if (row.add)
            re.AddExpressionOption(static_cast<RE::Options>(row.option));
        else
            re.DeleteExpressionOption(static_cast<RE::Options>(row.option));
        std::set<int> got;
        for (int o = 0; o <= 45; ++o)
            if (re.IsExpressionOption(static_cast<RE::Options>(o)))
                got.insert(o);
        EXPECT_EQ(got, row.expected) << row.name << ": got " << Show(got);
    }
}

TEST(Options, MatchOptionRules)
{
    RE re;
    re.AddMatchOption(RE::MatchNotBol);
    EXPECT_EQ(MatchOptions(re), (std::set<int>{1}));
    re.DeleteMatchOption(RE::MatchNotBol);
    EXPECT_EQ(MatchOptions(re), (std::set<int>{0}));
    re.AddMatchOption(RE::MatchAny);
    EXPECT_EQ(MatchOptions(re), (std::set<int>{0, 9}));
    re.AddMatchOption(RE::MatchNotEol);
    EXPECT_EQ(MatchOptions(re), (std::set<int>{2, 9}));
    re.AddMatchOption(RE::MatchDefault);
    EXPECT_EQ(MatchOptions(re), (std::set<int>{0, 9}));
    re.DeleteMatchOption(RE::MatchDefault);
    EXPECT_EQ(MatchOptions(re), (std::set<int>{9}));
    re.ClearMatchOptions();
    EXPECT_TRUE(MatchOptions(re).empty());
}

TEST(Options, AddingAPresentOptionKeepsTheCompiledExpression)
{
    RE re;
    re.SetExpression("a(b");
    EXPECT_EQ(re.ParseExpression(), RE::ErrorParenthesis);
    re.AddExpressionOption(RE::NoCollate);  // already present
    EXPECT_FALSE(re.GetExpressionError().empty()) << "the parse state must still be there";
    re.AddExpressionOption(RE::IgnoreCase);
    EXPECT_TRUE(re.GetExpressionError().empty()) << "a change of the set clears it";
}

TEST(Copying, CopyAndAssignmentTakeSettingsButNotLocaleOrResults)
{
    RE source;
    source.SetExpression("x+");
    source.AddExpressionOption(RE::IgnoreCase);
    source.AddMatchOption(RE::MatchNotBol);
    source.SetStringToMatch("subject");
    source.SetFilesToMatch("*.txt");
    source.SetFormatString("<$0>");
    source.SetSaveExtension("bak");
    source.SetLocaleDll("msgs");
    source.SetDirectoryRecursion(true);
    source.SetMergeCopy(true);
    source.SetMergeOnlyFirst(true);
    source.SetSplitInputDelete(true);
    source.SetMaximumSplits(7);
    source.SetFormatType(RE::FormatTypePerl);
    source.SetLocaleModel(RE::LocaleC);
    source.SetContinueFiles(false);
    source.SetLocale(std::locale::classic());

    RE copy(source);
    EXPECT_TRUE(copy == source);
    EXPECT_EQ(copy.GetMaximumSplits(), 7u);
    EXPECT_EQ(copy.GetLocaleDll(), "msgs");

    RE target;
    target = source;
    EXPECT_TRUE(target == source);
    target = target;  // self-assignment changes nothing
    EXPECT_TRUE(target == source);

    target.SetMaximumSplits(8);
    EXPECT_FALSE(target == source);
}

namespace {
void VANTREL_CALLBACK IgnoreMatch(RE*, const std::vector<RegexClass::REMatch>&, unsigned, unsigned, bool&)
{
}
}  // namespace

TEST(Copying, EqualityIgnoresLocaleAndCallbacks)
{
    RE a, b;
    b.SetLocale(std::locale::classic());
    b.SetOnGrepping(&IgnoreMatch);
    EXPECT_TRUE(a == b);
    b.SetExpression("y");
    EXPECT_FALSE(a == b);
}

TEST(Copying, CopyCompilesAfresh)
{
    RE source;
    source.SetExpression("a(b");
    EXPECT_EQ(source.ParseExpression(), RE::ErrorParenthesis);
    RE copy(source);
    EXPECT_TRUE(copy.GetExpressionError().empty()) << "the copy has not compiled yet";
    EXPECT_EQ(copy.ParseExpression(), RE::ErrorParenthesis);
}

TEST(Settings, MaximumSplitsSaturatesAt32Bits)
{
    if (sizeof(unsigned long) <= 4)
        GTEST_SKIP() << "unsigned long has 32 bits here";
    RE re;
    re.SetMaximumSplits(static_cast<unsigned long>(0x100000005ull));
    EXPECT_EQ(re.GetMaximumSplits(), 4294967295ul);
    re.SetMaximumSplits(4294967295ul);
    EXPECT_EQ(re.GetMaximumSplits(), 4294967295ul);
}

TEST(Callbacks, SlotHoldsAtMostOneForm)
{
    RE re;
    RE::GreppingFunction plain = &IgnoreMatch;
    RE::GreppingClosure closure(&IgnoreMatch);
    re.SetOnGreppingClosure(closure);
    re.SetOnGrepping(plain);
    EXPECT_TRUE(re.GetOnGreppingClosure().empty());
    EXPECT_NE(re.GetOnGrepping(), nullptr);
    re.SetOnGreppingClosure(closure);
    EXPECT_EQ(re.GetOnGrepping(), nullptr);
    EXPECT_FALSE(re.GetOnGreppingClosure().empty());
    re.SetOnGrepping(nullptr);  // clears only the plain form
    EXPECT_FALSE(re.GetOnGreppingClosure().empty());
    re.SetOnGreppingClosure(RE::GreppingClosure());
    EXPECT_TRUE(re.GetOnGreppingClosure().empty());
}

// A closure that replaces itself mid-pass must not be destroyed while it runs
// (AddressSanitizer reports the use of its captured state if it is).
TEST(Callbacks, ClosureMayReplaceItselfDuringGrep)
{
    RE re;
    re.SetExpression("o");
    re.SetStringToMatch("foo boo");
    int laterCalls = 0;
    std::string ownState(64, 'x');  // lives in the first closure's copy
    RE::GreppingClosure later = [&laterCalls](RE*, const std::vector<RegexClass::REMatch>&, unsigned, unsigned, bool&) {
        ++laterCalls;
    };
    std::string seen;
    re.SetOnGreppingClosure(
        [ownState, later, &seen](RE* self, const std::vector<RegexClass::REMatch>&, unsigned, unsigned, bool&) {
            self->SetOnGreppingClosure(later);
            seen = ownState;  // reads the running closure's state after the replacement
        });
    EXPECT_EQ(re.Grep(), 4u);
    EXPECT_EQ(seen, std::string(64, 'x'));
    EXPECT_EQ(laterCalls, 3);
}

// The same holds for a Search callback, which runs after the pass, and for an
// assignment into the object from inside a running closure.
TEST(Callbacks, RunningClosureSurvivesReplacementBySearchOrAssignment)
{
    RE re;
    re.SetExpression("b+");
    re.SetStringToMatch("abba");
    std::string ownState(64, 's');
    std::string seen;
    re.SetOnSearchingClosure(
        [ownState, &seen](RE* self, const std::vector<RegexClass::REMatch>& m, unsigned, unsigned) {
            self->SetOnSearchingClosure(RE::SearchingClosure());
            seen = ownState + m[0].text;
        });
    EXPECT_TRUE(re.Search());
    EXPECT_EQ(seen, std::string(64, 's') + "bb");
    EXPECT_TRUE(re.GetOnSearchingClosure().empty());

    RE other;
    other.SetExpression("z");
    seen.clear();
    re.SetOnGreppingClosure(
        [ownState, &other, &seen](RE* self, const std::vector<RegexClass::REMatch>&, unsigned, unsigned, bool&) {
            *self = other;  // takes other's (empty) closures
            seen = ownState;
        });
    EXPECT_EQ(re.Grep(), 1u);
    EXPECT_EQ(seen, std::string(64, 's'));
    EXPECT_EQ(re.GetExpression(), "z");
}

// The problem kinds are numbers in the records' std::uint32_t fields: a name
// must keep the number callers compare with.
TEST(ProblemKinds, NamesKeepTheirNumbers)
{
    using Search = RE::FileSearchProblem;
    using Change = RE::FileChangeProblem;
    struct Row {
        const char* name;
        std::uint32_t kind;
        std::uint32_t number;
    };
    const Row rows[] = {
        {"search Open", Search::Open, 0},
        {"search Read", Search::Read, 1},
        {"search EngineGaveUp", Search::EngineGaveUp, 2},
        {"change Open", Change::Open, 0},
        {"change TemporaryFile", Change::TemporaryFile, 1},
        {"change Read", Change::Read, 2},
        {"change Write", Change::Write, 3},
        {"change ChangedSinceSearch", Change::ChangedSinceSearch, 4},
        {"change Backup", Change::Backup, 5},
        {"change Replace", Change::Replace, 6},
        {"change Attributes", Change::Attributes, 7},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.kind, row.number) << row.name;
}
