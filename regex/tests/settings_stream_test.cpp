// The settings text layout: writing, reading, round trips and hostile input.

#include <vantrel/RegularExpression.h>

#include "../src/RegularExpressionImpl.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <locale>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

using RegexClass::RegularExpression;
using RE = RegularExpression;
using OptionSet = std::set<int>;

void VANTREL_CALLBACK IgnoreMatch(RegularExpression*, const std::vector<RegexClass::REMatch>&, unsigned, unsigned,
                                  bool&)
{
}

std::string Write(RegularExpression& re)
{
    std::ostringstream out;
    out << re;
    return out.str();
}

// Reads `text` into `re`; returns the stream so that its state can be checked.
std::istringstream& Read(std::istringstream& in, RegularExpression& re)
{
    in >> re;
    return in;
}

// An object with every setting away from its default.
void Configure(RegularExpression& re)
{
    re.ClearExpressionOptions();
    re.AddExpressionOption(RE::SyntaxEgrep);
    re.AddExpressionOption(RE::IgnoreCase);
    re.ClearMatchOptions();
    re.AddMatchOption(RE::MatchNotBol);
    re.AddMatchOption(RE::MatchAny);
    re.SetDirectoryRecursion(true);
    re.SetMergeCopy(true);
    re.SetMergeOnlyFirst(true);
    re.SetSplitInputDelete(true);
    re.SetContinueFiles(false);
    re.SetMaximumSplits(4294967295UL);
    re.SetFormatType(RE::FormatTypePerl);
    re.SetLocaleModel(RE::LocaleC);
    re.SetExpression("a b\n(c)\t ");
    re.SetStringToMatch(" leading blank and\r\nline breaks ");
    re.SetFilesToMatch("dir/*.txt");
    re.SetFormatString("$1 \\n");
    re.SetSaveExtension("bak");
    re.SetLocaleDll("Locale_X.dll");
}

const char kWorkedExample[] = "2 2 1 15 1 0 0 0 0 0 1 0 0 0 3 a b 0 5 *.txt 0 0 0";

TEST(SettingsStream, WorkedExampleIsWrittenExactly)
{
    RegularExpression re;
    re.ClearExpressionOptions();
    re.Impl().expressionOptions = {RE::CharClasses, RE::SyntaxNormal};
    re.SetExpression("a b");
    re.SetFilesToMatch("*.txt");
    const std::string text = Write(re);
    EXPECT_EQ(text, kWorkedExample);
    EXPECT_EQ(text.size(), 50u);
}

TEST(SettingsStream, WorkedExampleReadsBack)
{
    RegularExpression re;
    Configure(re);
    std::istringstream in(kWorkedExample);
    ASSERT_FALSE(Read(in, re).fail());
    EXPECT_EQ(re.Impl().expressionOptions, (OptionSet{1, 15}));
    EXPECT_EQ(re.Impl().matchOptions, (OptionSet{0}));
    EXPECT_FALSE(re.GetDirectoryRecursion());
    EXPECT_FALSE(re.GetMergeCopy());
    EXPECT_FALSE(re.GetMergeOnlyFirst());
    EXPECT_FALSE(re.GetSplitInputDelete());
    EXPECT_TRUE(re.GetContinueFiles());
    EXPECT_EQ(re.GetMaximumSplits(), 0u);
    EXPECT_EQ(re.GetFormatType(), RE::FormatTypeAll);
    EXPECT_EQ(re.GetLocaleModel(), RE::LocaleCpp);
    EXPECT_EQ(re.GetExpression(), "a b");
    EXPECT_EQ(re.GetStringToMatch(), "");
    EXPECT_EQ(re.GetFilesToMatch(), "*.txt");
    EXPECT_EQ(re.GetFormatString(), "");
    EXPECT_EQ(re.GetSaveExtension(), "");
    EXPECT_EQ(re.GetLocaleDll(), "");
}

TEST(SettingsStream, EverySettingSurvivesARoundTrip)
{
    RegularExpression source;
    Configure(source);
    const std::string text = Write(source);

    // The target keeps its own locale and callbacks.
    RegularExpression target;
    const std::locale own(std::locale::classic(), new std::numpunct<char>());
    target.SetLocale(own);
    target.SetOnGrepping(&IgnoreMatch);

    std::istringstream in(text);
    ASSERT_FALSE(Read(in, target).fail());
    EXPECT_TRUE(target == source);
    EXPECT_EQ(target.Impl().expressionOptions, source.Impl().expressionOptions);
    EXPECT_EQ(target.GetExpression(), "a b\n(c)\t ");
    EXPECT_EQ(target.GetStringToMatch(), " leading blank and\r\nline breaks ");
    EXPECT_EQ(target.GetLocaleDll(), "Locale_X.dll");
    EXPECT_EQ(target.GetMaximumSplits(), 4294967295UL);
    EXPECT_EQ(target.GetLocaleModel(), RE::LocaleC);
    EXPECT_EQ(target.GetFormatType(), RE::FormatTypePerl);
    EXPECT_FALSE(target.GetContinueFiles());
    EXPECT_TRUE(target.GetLocale() == own);
    EXPECT_EQ(target.GetOnGrepping(), &IgnoreMatch);
    // Written again, the target gives the same text.
    EXPECT_EQ(Write(target), text);
}

TEST(SettingsStream, RoundTripWithAlphabeticBooleans)
{
    RegularExpression source;
    Configure(source);
    std::ostringstream out;
    out << std::boolalpha << source;
    EXPECT_NE(out.str().find("true true true true false"), std::string::npos);
    RegularExpression target;
    std::istringstream in(out.str());
    in >> std::boolalpha >> target;
    ASSERT_FALSE(in.fail());
    EXPECT_TRUE(target == source);
}

TEST(SettingsStream, NumbersTravelInTheClassicFormWhateverTheStreamsLocale)
{
    RegularExpression configured;
    Configure(configured);
    configured.SetExpression(std::string(1500, 'a'));  // a length that a locale would group
    const RegularExpression& source = configured;      // writing needs no more than a const object
    std::ostringstream plain;
    plain << source;
    const std::string classic = plain.str();
    for (const char* name : {"en_US.UTF-8", "de_DE.UTF-8"}) {
        SCOPED_TRACE(name);
        std::locale imbued;
        try {
            imbued = std::locale(name);
        } catch (const std::runtime_error&) {
            GTEST_SKIP() << name << " is not generated on this machine (make deps generates it)";
        }
        std::ostringstream grouped;
        grouped.imbue(imbued);
        grouped << 1500;
        ASSERT_NE(grouped.str(), "1500");  // the locale really groups digits

        std::ostringstream out;
        out.imbue(imbued);
        out << source;
        EXPECT_EQ(out.str(), classic);
        EXPECT_TRUE(out.getloc() == imbued);

        RegularExpression target;
        std::istringstream in(classic);
        in.imbue(imbued);
        ASSERT_FALSE(Read(in, target).fail());
        EXPECT_TRUE(target == source);
        EXPECT_EQ(target.GetMaximumSplits(), source.GetMaximumSplits());
        EXPECT_EQ(target.GetExpression().size(), 1500u);
        EXPECT_TRUE(in.getloc() == imbued);
    }
}

TEST(SettingsStream, ReadingMakesTheNewExpressionCompile)
{
    RegularExpression source;
    source.SetExpression("(a)(b)");
    RegularExpression target;
    target.SetExpression("(a)");
    ASSERT_EQ(target.NumberOfSubexpressions(), 1u);
    std::istringstream in(Write(source));
    ASSERT_FALSE(Read(in, target).fail());
    EXPECT_EQ(target.NumberOfSubexpressions(), 2u);
}

TEST(SettingsStream, ZeroCharacterCutsTheFieldAndLaterFieldsStayInStep)
{
    RegularExpression source;
    source.SetExpression(std::string("ab\0cd", 5));
    source.SetStringToMatch("subject");
    source.SetLocaleDll("dll");
    const std::string text = Write(source);
    EXPECT_NE(text.find(std::string("5 ab\0cd ", 8)), std::string::npos);
    RegularExpression target;
    std::istringstream in(text);
    ASSERT_FALSE(Read(in, target).fail());
    EXPECT_EQ(target.GetExpression(), "ab");
    EXPECT_EQ(target.GetStringToMatch(), "subject");
    EXPECT_EQ(target.GetLocaleDll(), "dll");
}

TEST(SettingsStream, EmptyLastStringLeavesFollowingCharactersUnread)
{
    RegularExpression source;
    const std::string text = Write(source);
    ASSERT_EQ(text.back(), '0');
    RegularExpression target;
    target.SetLocaleDll("old");
    std::istringstream in(text + "XYZ");
    ASSERT_FALSE(Read(in, target).fail());
    EXPECT_EQ(target.GetLocaleDll(), "");
    std::string rest;
    in >> rest;
    EXPECT_EQ(rest, "XYZ");
}

TEST(SettingsStream, SeparatorMayBeAnyCharacter)
{
    RegularExpression re;
    std::istringstream in("2 0 0 0 0 0 0 0 7 0 0 2xab 0\n0|0 0 3\tdll");
    ASSERT_FALSE(Read(in, re).fail());
    EXPECT_EQ(re.GetExpression(), "ab");
    EXPECT_EQ(re.GetMaximumSplits(), 7u);
    EXPECT_EQ(re.GetLocaleDll(), "dll");
}

TEST(SettingsStream, VersionOneSetsItsFieldsOnly)
{
    RegularExpression re;
    Configure(re);
    RegularExpression before(re);
    std::istringstream in("1 0 0 1 0 1 x 0 0 0 0");
    ASSERT_FALSE(Read(in, re).fail());
    EXPECT_TRUE(re.Impl().expressionOptions.empty());
    EXPECT_TRUE(re.Impl().matchOptions.empty());
    EXPECT_TRUE(re.GetDirectoryRecursion());
    EXPECT_FALSE(re.GetMergeCopy());
    EXPECT_EQ(re.GetExpression(), "x");
    EXPECT_EQ(re.GetStringToMatch(), "");
    EXPECT_EQ(re.GetFilesToMatch(), "");
    EXPECT_EQ(re.GetFormatString(), "");
    EXPECT_EQ(re.GetSaveExtension(), "");
    // Absent from version 1: unchanged.
    EXPECT_EQ(re.GetMergeOnlyFirst(), before.GetMergeOnlyFirst());
    EXPECT_EQ(re.GetSplitInputDelete(), before.GetSplitInputDelete());
    EXPECT_EQ(re.GetContinueFiles(), before.GetContinueFiles());
    EXPECT_EQ(re.GetMaximumSplits(), before.GetMaximumSplits());
    EXPECT_EQ(re.GetFormatType(), before.GetFormatType());
    EXPECT_EQ(re.GetLocaleModel(), before.GetLocaleModel());
    EXPECT_EQ(re.GetLocaleDll(), before.GetLocaleDll());
}

TEST(SettingsStream, VersionOneLastStringHasItsCharacters)
{
    RegularExpression re;
    std::istringstream in("1 1 15 1 0 0 0 0 0 0 0 3 bak");
    ASSERT_FALSE(Read(in, re).fail());
    EXPECT_EQ(re.GetSaveExtension(), "bak");
    EXPECT_EQ(re.Impl().expressionOptions, (OptionSet{15}));
}

TEST(SettingsStream, UnreadableVersionsChangeNothingAndFail)
{
    for (const char* text : {"3 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0", "0 0 0", "-1 0 0", "99999999999 0", "x"}) {
        RegularExpression re;
        Configure(re);
        RegularExpression before(re);
        std::istringstream in(text);
        EXPECT_TRUE(Read(in, re).fail()) << text;
        EXPECT_TRUE(re == before) << text;
        EXPECT_EQ(re.Impl().expressionOptions, before.Impl().expressionOptions) << text;
    }
}

TEST(SettingsStream, OptionValuesAreStoredWithoutTheAddRules)
{
    RegularExpression re;
    std::istringstream in("2 4 99 13 15 15 3 0 1 -7 0 0 0 0 1 0 0 0 0 0 0 0 0 0");
    ASSERT_FALSE(Read(in, re).fail());
    EXPECT_EQ(re.Impl().expressionOptions, (OptionSet{13, 15, 99}));
    EXPECT_TRUE(re.IsExpressionOption(static_cast<RE::Options>(99)));
    EXPECT_TRUE(re.IsExpressionOption(RE::SyntaxBasic));
    EXPECT_TRUE(re.IsExpressionOption(RE::SyntaxNormal));
    // MatchDefault next to MatchNotBol, which AddMatchOption would not allow.
    EXPECT_EQ(re.Impl().matchOptions, (OptionSet{-7, 0, 1}));
}

TEST(SettingsStream, CountOfZeroOrLessLeavesTheSetEmpty)
{
    RegularExpression re;
    std::istringstream in("2 -5 -2147483648 0 0 0 0 0 1 0 0 1 x 0 0 0 0 0");
    ASSERT_FALSE(Read(in, re).fail());
    EXPECT_TRUE(re.Impl().expressionOptions.empty());
    EXPECT_TRUE(re.Impl().matchOptions.empty());
    EXPECT_EQ(re.GetExpression(), "x");
}

TEST(SettingsStream, FormatTypeAndLocaleModelAreStoredAsRead)
{
    RegularExpression re;
    re.Impl().busy = true;  // the reader does not hold back the model while busy
    std::istringstream in("2 0 0 0 0 0 0 0 0 7 -3 0 0 0 0 0 0");
    ASSERT_FALSE(Read(in, re).fail());
    re.Impl().busy = false;
    EXPECT_EQ(static_cast<int>(re.GetFormatType()), 7);
    EXPECT_EQ(static_cast<int>(re.GetLocaleModel()), -3);
}

TEST(SettingsStream, StreamEndingAfterExpressionOptionsKeepsWhatWasRead)
{
    RegularExpression re;
    Configure(re);
    RegularExpression before(re);
    std::istringstream in("2 2 1 15");
    EXPECT_TRUE(Read(in, re).fail());
    EXPECT_EQ(re.Impl().expressionOptions, (OptionSet{1, 15}));
    EXPECT_TRUE(re.Impl().matchOptions.empty());
    EXPECT_EQ(re.GetDirectoryRecursion(), before.GetDirectoryRecursion());
    EXPECT_EQ(re.GetExpression(), before.GetExpression());
    EXPECT_EQ(re.GetLocaleDll(), before.GetLocaleDll());
    EXPECT_EQ(re.GetMaximumSplits(), before.GetMaximumSplits());
}

TEST(SettingsStream, EveryTruncationFailsAndNoStringIsHalfRead)
{
    RegularExpression source;
    Configure(source);
    const std::string text = Write(source);
    RegularExpression original;
    original.SetExpression("old expression");
    original.SetStringToMatch("old subject");
    original.SetLocaleDll("old dll");
    for (std::size_t length = 0; length < text.size(); ++length) {
        RegularExpression re(original);
        std::istringstream in(text.substr(0, length));
        EXPECT_TRUE(Read(in, re).fail()) << "prefix " << length;
        for (auto get : {&RE::GetExpression, &RE::GetStringToMatch, &RE::GetFilesToMatch, &RE::GetFormatString,
                         &RE::GetSaveExtension, &RE::GetLocaleDll}) {
            const std::string value = (re.*get)();
            EXPECT_TRUE(value == (original.*get)() || value == (source.*get)())
                << "prefix " << length << " value '" << value << "'";
        }
    }
}

TEST(SettingsStream, HugeAndNegativeLengthsFailWithTheFieldUnchanged)
{
    struct Row {
        const char* text;
        bool expressionRead;  // the bad length is the locale DLL's, after the expression
    };
    const Row rows[] = {
        {"2 0 0 0 0 0 0 0 0 0 0 4294967295 abc", false},
        {"2 0 0 0 0 0 0 0 0 0 0 4294967296 abc", false},
        {"2 0 0 0 0 0 0 0 0 0 0 -1 abc", false},
        {"2 0 0 0 0 0 0 0 0 0 0 99999999999999999999 abc", false},
        {"2 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 4294967295 dll", true},
        {"2 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 200000 dll", true},
    };
    for (const Row& row : rows) {
        RegularExpression re;
        re.SetExpression("keep");
        re.SetLocaleDll("keep dll");
        std::istringstream in(row.text);
        EXPECT_TRUE(Read(in, re).fail()) << row.text;
        EXPECT_EQ(re.GetExpression(), row.expressionRead ? "" : "keep") << row.text;
        EXPECT_EQ(re.GetLocaleDll(), "keep dll") << row.text;
    }
}

TEST(SettingsStream, LongStringSpanningManyReadPiecesRoundTrips)
{
    RegularExpression source;
    std::string big(300000, 'x');
    for (std::size_t i = 0; i < big.size(); i += 997)
        big[i] = static_cast<char>('a' + i % 26);
    source.SetStringToMatch(big);
    source.SetLocaleDll(big);
    RegularExpression target;
    std::istringstream in(Write(source));
    ASSERT_FALSE(Read(in, target).fail());
    EXPECT_EQ(target.GetStringToMatch(), big);
    EXPECT_EQ(target.GetLocaleDll(), big);
}

TEST(SettingsStream, CountOfTwoBillionEndsWithTheStream)
{
    RegularExpression re;
    std::istringstream in("2 2000000000 1 2 3");
    EXPECT_TRUE(Read(in, re).fail());
    EXPECT_EQ(re.Impl().expressionOptions, (OptionSet{1, 2, 3}));
}

TEST(SettingsStream, BadFlagFails)
{
    RegularExpression re;
    std::istringstream in("2 0 0 2 0 0 0 0 0 0 0 0 0 0 0 0 0");
    EXPECT_TRUE(Read(in, re).fail());
    EXPECT_FALSE(re.GetDirectoryRecursion());
}

TEST(SettingsStream, StreamExceptionPassesOut)
{
    RegularExpression re;
    std::istringstream in("2 1 11");
    in.exceptions(std::ios_base::failbit);
    EXPECT_THROW(in >> re, std::ios_base::failure);
    EXPECT_EQ(re.Impl().expressionOptions, (OptionSet{11}));
}

TEST(SettingsStream, MutatedStreamsNeverBreakTheReader)
{
    RegularExpression source;
    Configure(source);
    const std::string valid = Write(source);
    std::mt19937 random(12345);
    for (int round = 0; round < 3000; ++round) {
        std::string text = valid;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = random() % text.size();
            switch (random() % 3) {
            case 0:
                text[at] = static_cast<char>(random() % 256);
                break;
            case 1:
                text.erase(at, 1 + random() % 8);
                break;
            default:
                text.insert(at, 1, static_cast<char>("0123456789 -\0"[random() % 13]));
                break;
            }
            if (text.empty())
                text = "2";
        }
        RegularExpression re;
        std::istringstream in(text);
        in >> re;
        if (in.fail())
            continue;
        // Whatever was read completely writes and reads back to the same settings.
        RegularExpression again;
        std::istringstream back(Write(re));
        back >> again;
        ASSERT_FALSE(back.fail()) << "round " << round;
        ASSERT_TRUE(again == re) << "round " << round;
    }
}

}  // namespace
