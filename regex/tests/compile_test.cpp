#include <vantrel/RegularExpression.h>

#include "EngineFlags.h"
#include "PeWriter.h"
#include "RegularExpressionImpl.h"

#include <boost/regex.hpp>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

using RegexClass::RegularExpression;
using RE = RegularExpression;

TEST(Compile, EmptyExpression)
{
    RE re;
    EXPECT_EQ(re.ParseExpression(), RE::ErrorNoExpression);
    EXPECT_EQ(re.GetExpressionError(), "Empty expression");
    EXPECT_EQ(re.NumberOfSubexpressions(), 0u);
}

TEST(Compile, GroupsAreCountedWithoutTheWholeMatch)
{
    RE re;
    re.SetExpression("a(b)(c)");
    EXPECT_EQ(re.ParseExpression(), RE::NoError);
    EXPECT_EQ(re.NumberOfSubexpressions(), 2u);
    EXPECT_EQ(re.GetExpressionError(), "");
    const RE& constant = re;
    EXPECT_EQ(constant.NumberOfSubexpressions(), 2u);
}

TEST(Compile, ConstCountIsZeroBeforeCompiling)
{
    RE re;
    re.SetExpression("(a)");
    const RE& constant = re;
    EXPECT_EQ(constant.NumberOfSubexpressions(), 0u);
    EXPECT_EQ(re.NumberOfSubexpressions(), 1u);  // the non-const form compiles
}

TEST(Compile, FailureIsCachedUntilTheExpressionChanges)
{
    RE re;
    re.SetExpression("a(b");
    EXPECT_EQ(re.ParseExpression(), RE::ErrorParenthesis);
    std::string message = re.GetExpressionError();
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(re.ParseExpression(), RE::ErrorParenthesis);
    EXPECT_EQ(re.GetExpressionError(), message);
    EXPECT_EQ(re.NumberOfSubexpressions(), 0u);
    re.SetExpression("a(b)");
    EXPECT_EQ(re.GetExpressionError(), "");
    EXPECT_EQ(re.ParseExpression(), RE::NoError);
    EXPECT_EQ(re.NumberOfSubexpressions(), 1u);
}

TEST(Compile, ErrorCodesOfTheEngineAreMapped)
{
    struct Row {
        const char* expression;
        RE::ExpressionErrorCode code;
    };
    const Row rows[] = {
        {"a(b", RE::ErrorParenthesis},      {"a)", RE::ErrorParenthesis},
        {"[z-a]", RE::ErrorCharClass},  // 1.81 reports a reversed range as a class error
        {"[[:nope:]]", RE::ErrorCharClass}, {"a\\", RE::ErrorEscape},
        {"[ab", RE::ErrorBracket},          {"a{3,1}", RE::ErrorBadBrace},
        {"*a", RE::ErrorBadRepeat},         {"(?<", RE::ErrorBadPattern},
        {"a(?Zb)", RE::ErrorBadPattern},
    };
    for (const Row& row : rows) {
        RE re;
        re.SetExpression(row.expression);
        RE::ExpressionErrorCode code = re.ParseExpression();
        EXPECT_EQ(code, row.code) << row.expression << " gave " << code << ": " << re.GetExpressionError();
        EXPECT_FALSE(re.GetExpressionError().empty()) << row.expression;
    }
}

TEST(Compile, EngineCodesMapByMeaning)
{
    namespace rc = boost::regex_constants;
    using RegexClass::detail::ClassicErrorCode;
    using RegexClass::detail::ToExpressionErrorCode;
    EXPECT_EQ(ToExpressionErrorCode(ClassicErrorCode(rc::error_size)), RE::ErrorSize);
    EXPECT_EQ(ToExpressionErrorCode(ClassicErrorCode(rc::error_complexity)), RE::ErrorUnknown);
    EXPECT_EQ(ToExpressionErrorCode(ClassicErrorCode(rc::error_stack)), RE::ErrorUnknown);
    EXPECT_EQ(ToExpressionErrorCode(ClassicErrorCode(rc::error_unknown)), RE::ErrorUnknown);
    EXPECT_EQ(ToExpressionErrorCode(ClassicErrorCode(rc::error_perl_extension)), RE::ErrorBadPattern);
    EXPECT_EQ(ToExpressionErrorCode(ClassicErrorCode(rc::error_right_paren)), RE::ErrorRightParenthesis);
    EXPECT_EQ(ToExpressionErrorCode(ClassicErrorCode(rc::error_empty)), RE::ErrorEmpty);
    EXPECT_EQ(ToExpressionErrorCode(15), RE::ErrorSize);
    EXPECT_EQ(ToExpressionErrorCode(20), RE::ErrorLocaleDll);
}

// Compile flags as the option sets give them: the default set is 0x4507.
TEST(Compile, DefaultSetCompilesAsPerl)
{
    RE re;
    re.SetExpression("a+?(?:b)");
    EXPECT_EQ(re.ParseExpression(), RE::NoError) << re.GetExpressionError();
}

// Each family must behave as that family, whatever 1.81 calls its flags.
TEST(Compile, FamiliesKeepTheirSyntax)
{
    struct Row {
        RE::Options family;
        const char* expression;
        const char* subject;
        bool matches;
    };
    const Row rows[] = {
        {RE::SyntaxBasic, "\\(a\\)\\1", "aa", true}, {RE::SyntaxBasic, "(a)", "(a)", true},
        {RE::SyntaxBasic, "a\\{2\\}", "aa", true},   {RE::SyntaxSed, "a|b", "a|b", true},
        {RE::SyntaxGrep, "a\nb", "b", true},         {RE::SyntaxExtended, "a|b", "b", true},
        {RE::SyntaxExtended, "(a)\\1", "aa", true},  // classic extended had back-references
        {RE::SyntaxEgrep, "a\nb", "b", true},        {RE::SyntaxAwk, "[\\]]", "]", true},
        {RE::SyntaxPerl, "a|b", "b", true},          {RE::SyntaxPerl, "\\d+", "42", true},
        {RE::SyntaxNormal, "a+?", "a", true},        {RE::SyntaxEmacs, "\\(a\\|b\\)", "b", true},
        {RE::SyntaxEmacs, "a+", "aa", true},
    };
    for (const Row& row : rows) {
        RE re;
        re.AddExpressionOption(row.family);
        re.SetExpression(row.expression);
        ASSERT_EQ(re.ParseExpression(), RE::NoError)
            << "family " << row.family << " /" << row.expression << "/: " << re.GetExpressionError();
        re.SetStringToMatch(row.subject);
        EXPECT_EQ(re.Search(), row.matches)
            << "family " << row.family << " /" << row.expression << "/ on '" << row.subject << "'";
    }
}

TEST(Compile, PosixFamiliesRejectPerlExtensions)
{
    RE re;
    re.AddExpressionOption(RE::SyntaxExtended);
    re.SetExpression("a*?");
    EXPECT_NE(re.ParseExpression(), RE::NoError);
}

TEST(Compile, LiteralAndIgnoreCase)
{
    RE re;
    re.AddExpressionOption(RE::Literal);
    re.AddExpressionOption(RE::IgnoreCase);
    re.SetExpression("A(B");
    ASSERT_EQ(re.ParseExpression(), RE::NoError);
    boost::regex direct("A(B", RegexClass::detail::EngineSyntaxFlags(re.Impl().ClassicCompileFlags()));
    EXPECT_TRUE(boost::regex_search(std::string("xa(bx"), direct));
}

TEST(Compile, CompileFlagsOfTheDefaultSet)
{
    RE re;
    EXPECT_EQ(re.Impl().ClassicCompileFlags(), 0x4507u);
    re.AddExpressionOption(RE::IgnoreCase);
    EXPECT_EQ(re.Impl().ClassicCompileFlags(), 0x6507u);
    re.ClearExpressionOptions();
    EXPECT_EQ(re.Impl().ClassicCompileFlags(), 0x400u);
}

TEST(Compile, EachModelKeepsItsOwnState)
{
    RE re;
    re.SetExpression("a(b)");
    EXPECT_EQ(re.ParseExpression(), RE::NoError);
    re.SetLocaleModel(RE::LocaleC);
    const RE& constant = re;
    EXPECT_EQ(constant.NumberOfSubexpressions(), 0u) << "LocaleC has not compiled yet";
    EXPECT_EQ(re.ParseExpression(), RE::NoError);
    EXPECT_EQ(constant.NumberOfSubexpressions(), 1u);
    re.SetLocaleModel(RE::LocaleWin32);
    EXPECT_EQ(re.ParseExpression(), RE::NoError);
    EXPECT_EQ(constant.NumberOfSubexpressions(), 1u);
    re.SetLocaleModel(static_cast<RE::LocaleModels>(7));  // compiles as LocaleCpp
    EXPECT_EQ(constant.NumberOfSubexpressions(), 1u);
}

TEST(Compile, ClearingEventsClearTheRightModels)
{
    // Puts a failed compilation into every model, runs the event, and reports
    // which models still hold their parse state.
    auto survivors = [](auto event) {
        RE re;
        re.SetExpression("a(b");
        for (int m = 0; m < 3; ++m) {
            re.SetLocaleModel(static_cast<RE::LocaleModels>(m));
            re.ParseExpression();
        }
        event(re);
        std::string kept;
        for (int m = 0; m < 3; ++m) {
            re.SetLocaleModel(static_cast<RE::LocaleModels>(m));
            kept += re.GetExpressionError().empty() ? '-' : 'P';
        }
        return kept;
    };
    EXPECT_EQ(survivors([](RE& re) { re.SetExpression("a(b"); }), "PPP");
    EXPECT_EQ(survivors([](RE& re) { re.SetExpression("c(d"); }), "---");
    EXPECT_EQ(survivors([](RE& re) { re.AddExpressionOption(RE::IgnoreCase); }), "---");
    EXPECT_EQ(survivors([](RE& re) { re.DeleteExpressionOption(RE::IgnoreCase); }), "PPP");
    EXPECT_EQ(survivors([](RE& re) { re.ClearExpressionOptions(); }), "---");
    EXPECT_EQ(survivors([](RE& re) { re.SetLocale(std::locale()); }), "-PP");
    EXPECT_EQ(survivors([](RE& re) { re.SetLocaleDll("nowhere"); }), "--P");
    EXPECT_EQ(survivors([](RE& re) { re.SetLocaleDll(""); }), "PPP");
    EXPECT_EQ(survivors([](RE& re) { re = RE(re); }), "---");
    EXPECT_EQ(survivors([](RE& re) { re.AddMatchOption(RE::MatchNotBol); }), "PPP");
    EXPECT_EQ(survivors([](RE& re) { re.SetStringToMatch("x"); }), "PPP");
}

TEST(Compile, MissingLocaleDllIsNotAnError)
{
    RE re;
    re.SetLocaleDll("/nonexistent/dir/msgs");
    re.SetExpression("a(b)");
    EXPECT_EQ(re.ParseExpression(), RE::NoError);
    re.SetLocaleModel(RE::LocaleWin32);
    EXPECT_EQ(re.ParseExpression(), RE::NoError);
}

TEST(Compile, ConcurrentCompilationsInAllModels)
{
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([t, &failures] {
            for (int i = 0; i < 200; ++i) {
                RE re;
                re.SetLocaleModel(static_cast<RE::LocaleModels>((t + i) % 3));
                if (i % 7 == 0)
                    re.SetLocaleDll("missing-" + std::to_string(i % 2));
                re.SetExpression("(x)" + std::to_string(i) + "([a-z]+)");
                if (re.ParseExpression() != RE::NoError || re.NumberOfSubexpressions() != 2)
                    ++failures;
                re.SetExpression("(" + std::to_string(i));
                if (re.ParseExpression() != RE::ErrorParenthesis)
                    ++failures;
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(failures.load(), 0);
}

// A locale DLL gives the engine's messages in both models with a catalogue,
// and its string 251 replaces the component's own empty-expression text.
TEST(Compile, LocaleDllMessagesReachTheCaller)
{
    petest::ScratchDirectory dir;
    const std::string module = dir.file("messages.mod");
    ASSERT_TRUE(petest::WriteStringModule(module, {{208, "Klammer fehlt"}, {251, "Leerer Ausdruck"}}));
    for (RE::LocaleModels model : {RE::LocaleCpp, RE::LocaleWin32}) {
        RE re;
        re.SetLocaleModel(model);
        re.SetLocaleDll(module);
        re.SetExpression("a(b");
        ASSERT_EQ(re.ParseExpression(), RE::ErrorParenthesis) << "model " << model;
        EXPECT_NE(re.GetExpressionError().find("Klammer fehlt"), std::string::npos)
            << "model " << model << ": " << re.GetExpressionError();
        re.SetExpression("");
        EXPECT_EQ(re.GetExpressionError(), "Leerer Ausdruck") << "model " << model;
    }
    RE plain;  // no locale DLL: the engine's own texts again
    plain.SetExpression("a(b");
    ASSERT_EQ(plain.ParseExpression(), RE::ErrorParenthesis);
    EXPECT_EQ(plain.GetExpressionError().find("Klammer"), std::string::npos);
}

// ------------------------------------------------- expressions that broke the engine

namespace {

// Runs `work` on a thread of its own and gives its result, or nothing when it
// has not finished within `limit`: a hang then fails the test instead of
// blocking it (the stuck thread is left behind).
template <class Work>
auto FinishesWithin(std::chrono::seconds limit, Work work) -> std::optional<decltype(work())>
{
    std::packaged_task<decltype(work())()> task(std::move(work));
    std::future<decltype(work())> result = task.get_future();
    std::thread(std::move(task)).detach();
    if (result.wait_for(limit) != std::future_status::ready)
        return std::nullopt;
    return result.get();
}

}  // namespace

TEST(Compile, ExpressionsThatCrashedOrHungEarlierEnginesAreBounded)
{
    struct Row {
        const char* expression;
        RE::ExpressionErrorCode code;
        const char* subject;
        int foundAt;  // -1: no Search
        const char* found;
    };
    const Row rows[] = {
        // The parser crashed unwinding the alternatives.
        {"(?xi)|?+#\\r*", RE::ErrorBadRepeat, "", -1, ""},
        {"(?xi)|?+#\r*", RE::ErrorBadRepeat, "", -1, ""},
        // The parser never returned.
        {"1?+(?#)1", RE::NoError, "22113", 2, "11"},
    };
    for (const Row& row : rows) {
        for (RE::LocaleModels model : {RE::LocaleCpp, RE::LocaleWin32, RE::LocaleC}) {
            const std::string expression = row.expression;
            const std::string subject = row.subject;
            auto outcome = FinishesWithin(std::chrono::seconds(60), [expression, subject, model] {
                RE re;
                re.SetLocaleModel(model);
                re.SetExpression(expression);
                re.SetStringToMatch(subject);
                std::string found = "<none>";
                int position = -1;
                re.SetOnSearchingClosure(
                    [&](RE*, const std::vector<RegexClass::REMatch>& list, unsigned int, unsigned int) {
                        found = list[0].text;
                        position = list[0].position;
                    });
                const RE::ExpressionErrorCode code = re.ParseExpression();
                if (code == RE::NoError)
                    re.Search();
                return std::make_tuple(code, position, found);
            });
            ASSERT_TRUE(outcome.has_value()) << row.expression << " did not finish in model " << model;
            EXPECT_EQ(std::get<0>(*outcome), row.code) << row.expression << " in model " << model;
            if (row.foundAt >= 0) {
                EXPECT_EQ(std::get<1>(*outcome), row.foundAt) << row.expression << " in model " << model;
                EXPECT_EQ(std::get<2>(*outcome), row.found) << row.expression << " in model " << model;
            }
        }
    }
}
