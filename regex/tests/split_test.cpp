// Split: default separator, groups, maximum, consuming the subject, failures.

#include <vantrel/RegularExpression.h>

#include "../src/RegularExpressionImpl.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using RegexClass::RegularExpression;
using Pieces = std::vector<std::string>;

struct SplitCase {
    const char* name;
    const char* expression;
    const char* subject;
    unsigned long maximum;
    Pieces expected;
    const char* subjectAfterDelete;  // the subject once the consumed part is cut off
};

class SplitTable : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTable, GivesPiecesAndCutsTheConsumedPart)
{
    const SplitCase& c = GetParam();
    for (bool inputDelete : {false, true}) {
        RegularExpression re;
        re.SetExpression(c.expression);
        re.SetStringToMatch(c.subject);
        re.SetMaximumSplits(c.maximum);
        re.SetSplitInputDelete(inputDelete);
        Pieces pieces{"left over from before"};
        const unsigned int count = re.Split(pieces);
        EXPECT_EQ(pieces, c.expected) << "delete " << inputDelete;
        EXPECT_EQ(count, pieces.size());
        EXPECT_EQ(re.GetStringToMatch(), inputDelete ? c.subjectAfterDelete : c.subject);
        EXPECT_EQ(re.GetExpression(), c.expression);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitTable,
    ::testing::Values(
        SplitCase{"DefaultBlanks", "", "a b  c", 0, {"a", "b", "c"}, ""},
        SplitCase{"DefaultLeadingBlanks", "", "  x y", 0, {"x", "y"}, ""},
        SplitCase{"DefaultTrailingBlanks", "", "a b \t\n", 0, {"a", "b"}, ""},
        SplitCase{"DefaultOnlyBlanks", "", "   ", 0, {}, ""},
        SplitCase{"DefaultNoSeparator", "", "word", 0, {"word"}, ""},
        SplitCase{"DefaultMaximumTwo", "", "a b c d", 2, {"a", "b"}, "c d"},
        SplitCase{"MaximumReachedByRemainder", "", "a b", 2, {"a", "b"}, ""},
        SplitCase{"MaximumOne", ",", "a,b,c", 1, {"a"}, "b,c"},
        SplitCase{"InnerEmptyPieceKept", ";", "a;;b", 0, {"a", "", "b"}, ""},
        SplitCase{"LeadingEmptyNotCounted", ";", ";a;b", 1, {"a"}, "b"},
        SplitCase{"TrailingSeparatorGivesNoEmptyPiece", ";", "a;", 0, {"a"}, ""},
        SplitCase{"Groups", "(\\w+)=(\\w+)", "a=1 b=2", 0, {"a", "1", "b", "2"}, ""},
        SplitCase{"GroupsTextAfterLastMatchDropped", "(\\w+)=(\\w+)", "a=1 b=2 tail", 0, {"a", "1", "b", "2"}, " tail"},
        SplitCase{"GroupsMaximumStopsInsideMatch", "(\\w+)=(\\w+)", "a=1 b=2 c=3", 3, {"a", "1", "b"}, " c=3"},
        SplitCase{"GroupsMaximumOne", "(\\w+)=(\\w+)", "a=1 b=2", 1, {"a"}, " b=2"},
        SplitCase{"GroupNotTakingPartIsEmpty", "(a)|(b)", "ab", 0, {"a", "", "", "b"}, ""},
        SplitCase{"NoMatchGroupsGiveNothing", "(x)", "abc", 0, {}, "abc"}),
    [](const ::testing::TestParamInfo<SplitCase>& splitCase) { return std::string(splitCase.param.name); });

TEST(Split, RepeatedCallsWithDeleteTakeTheSubjectApart)
{
    RegularExpression re;
    re.SetStringToMatch("a b c d e");
    re.SetMaximumSplits(2);
    re.SetSplitInputDelete(true);
    Pieces pieces;
    EXPECT_EQ(re.Split(pieces), 2u);
    EXPECT_EQ(pieces, (Pieces{"a", "b"}));
    EXPECT_EQ(re.Split(pieces), 2u);
    EXPECT_EQ(pieces, (Pieces{"c", "d"}));
    EXPECT_EQ(re.Split(pieces), 1u);
    EXPECT_EQ(pieces, (Pieces{"e"}));
    EXPECT_EQ(re.GetStringToMatch(), "");
    EXPECT_EQ(re.Split(pieces), 0u);
    EXPECT_TRUE(pieces.empty());
}

TEST(Split, MaximumAboveThirtyTwoBitsMeansNoLimit)
{
    if (sizeof(unsigned long) <= 4)
        GTEST_SKIP() << "unsigned long has 32 bits here";
    RegularExpression re;
    re.SetStringToMatch("a b c d");
    // Truncated to 32 bits this would be 1.
    re.SetMaximumSplits(static_cast<unsigned long>(0x100000001ull));
    EXPECT_EQ(re.GetMaximumSplits(), 4294967295UL);
    Pieces pieces;
    EXPECT_EQ(re.Split(pieces), 4u);
    EXPECT_EQ(pieces, (Pieces{"a", "b", "c", "d"}));
}

TEST(Split, EmptySubjectGivesNothingEvenForABadExpression)
{
    RegularExpression re;
    re.SetExpression("a(");
    Pieces pieces{"x"};
    EXPECT_EQ(re.Split(pieces), 0u);
    EXPECT_TRUE(pieces.empty());
    // Nothing was compiled.
    EXPECT_EQ(re.GetExpressionError(), "");
}

TEST(Split, ExpressionThatDoesNotCompileGivesNothing)
{
    RegularExpression re;
    re.SetExpression("a(");
    re.SetStringToMatch("a(b a(c");
    re.SetSplitInputDelete(true);
    Pieces pieces{"x"};
    EXPECT_EQ(re.Split(pieces), 0u);
    EXPECT_TRUE(pieces.empty());
    EXPECT_EQ(re.GetStringToMatch(), "a(b a(c");
    EXPECT_EQ(re.GetExpression(), "a(");
    EXPECT_NE(re.GetExpressionError(), "");
}

TEST(Split, DefaultSeparatorLeavesExpressionEmptyAndUncompiled)
{
    RegularExpression re;
    re.SetStringToMatch("a b");
    Pieces pieces;
    ASSERT_EQ(re.Split(pieces), 2u);
    EXPECT_EQ(re.GetExpression(), "");
    EXPECT_EQ(re.ParseExpression(), RegularExpression::ErrorNoExpression);
    EXPECT_EQ(re.GetExpressionError(), "Empty expression");
    EXPECT_EQ(re.NumberOfSubexpressions(), 0u);
}

TEST(Split, SpaceClassLetterOfTheLocaleDllReplacesTheDefaultClass)
{
    struct Row {
        RegularExpression::LocaleModels model;
        Pieces expected;
    };
    // With 'd' standing for the space class the default separator is \d+,
    // except under LocaleC, which always splits at white space.
    const Row rows[] = {
        {RegularExpression::LocaleCpp, {"a", "b", "c d"}},
        {RegularExpression::LocaleWin32, {"a", "b", "c d"}},
        {RegularExpression::LocaleC, {"a1b22c", "d"}},
    };
    for (const Row& row : rows) {
        RegularExpression re;
        re.Impl().spaceClassLetter = 'd';
        re.SetLocaleModel(row.model);
        re.SetStringToMatch("a1b22c d");
        Pieces pieces;
        re.Split(pieces);
        EXPECT_EQ(pieces, row.expected) << "model " << row.model;
        EXPECT_EQ(re.GetExpression(), "");
    }
}

TEST(Split, PartialMatchOptionIsNotHonoured)
{
    RegularExpression re;
    re.SetExpression("abc");
    re.AddMatchOption(RegularExpression::MatchPartial);
    re.SetStringToMatch("xxab");
    Pieces pieces;
    EXPECT_EQ(re.Split(pieces), 1u);
    EXPECT_EQ(pieces, (Pieces{"xxab"}));
}

TEST(Split, MatchOptionsReachTheEngine)
{
    RegularExpression re;
    re.SetExpression("^-");
    re.SetStringToMatch("-a-b");
    Pieces pieces;
    re.Split(pieces);
    EXPECT_EQ(pieces, (Pieces{"a-b"}));
    re.AddMatchOption(RegularExpression::MatchNotBol);
    re.Split(pieces);
    EXPECT_EQ(pieces, (Pieces{"-a-b"}));
}

TEST(Split, EngineLimitPassesToCallerAndObjectStaysUsable)
{
    RegularExpression re;
    re.SetExpression("(.+)+xyz");
    re.SetStringToMatch(std::string(1024, ' '));
    re.SetSplitInputDelete(true);
    Pieces pieces;
    EXPECT_THROW(re.Split(pieces), std::runtime_error);
    EXPECT_EQ(re.GetStringToMatch(), std::string(1024, ' '));
    EXPECT_FALSE(re.Impl().busy);
    EXPECT_EQ(re.Impl().stepMatch, nullptr);

    re.SetExpression("");
    re.SetStringToMatch("p q");
    EXPECT_EQ(re.Split(pieces), 2u);
    EXPECT_EQ(pieces, (Pieces{"p", "q"}));
}

}  // namespace
