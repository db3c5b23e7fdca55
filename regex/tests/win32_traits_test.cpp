// The LocaleWin32 traits: built-in behaviour, and a module as catalogue.

#include <gtest/gtest.h>

#include <boost/regex.hpp>

#include <cstdlib>
#include <optional>
#include <thread>

#include "../src/Win32Traits.h"
#include "support/PeWriter.h"

using RegexClass::detail::Win32RegexTraits;
using Win32Regex = boost::basic_regex<char, Win32RegexTraits>;

namespace {

struct CompileResult {
    bool ok = true;
    int code = 0;
    std::string message;
};

template <class Regex>
CompileResult Compile(const std::string& pattern,
                      boost::regex_constants::syntax_option_type flags = boost::regex_constants::normal)
{
    CompileResult result;
    try {
        Regex expression(pattern, flags);
    } catch (const boost::regex_error& e) {
        result = {false, static_cast<int>(e.code()), e.what()};
    }
    return result;
}

constexpr int kParenCode = boost::regex_constants::error_paren;

class Win32TraitsTest : public ::testing::Test {
protected:
    void TearDown() override { Win32RegexTraits::catalog_name(""); }

    std::string Module(const std::map<unsigned, std::string>& strings, const std::string& name = "cat.dll")
    {
        const std::string path = m_dir.file(name);
        EXPECT_TRUE(petest::WriteStringModule(path, strings));
        return path;
    }

    petest::ScratchDirectory m_dir;
};

}  // namespace

TEST_F(Win32TraitsTest, WithoutCatalogueMatchesAsTheEngine)
{
    struct Row {
        const char* pattern;
        const char* subject;
        bool found;
    };
    const Row rows[] = {
        {"^\\w+$", "abc_1", true},
        {"\\w", "-+-", false},
        {"^\\W+$", "-+-", true},
        {"\\d\\d", "a42", true},
        {"\\d", "abc", false},
        {"^\\D+$", "abc", true},
        {"^[[:alpha:]]+$", "Hello", true},
        {"[[:alpha:]]", "123", false},
        {"a\\sb", "a b", true},
        {"\\bfoo\\b", "a foo b", true},
        {"\\bfoo\\b", "afoob", false},
        {"(a)\\1", "xaa", true},
        {"\\x41", "A", true},
        {"[[:upper:]][[:lower:]]", "aB", false},
        {"a{2,3}", "caac", true},
        {"\\l\\u", "aB", true},
        {"[[:xdigit:]]+$", "beef", true},
    };
    for (const Row& row : rows) {
        const Win32Regex win32(row.pattern);
        const boost::regex engine(row.pattern);
        EXPECT_EQ(boost::regex_search(row.subject, win32), row.found) << row.pattern << " on " << row.subject;
        EXPECT_EQ(boost::regex_search(row.subject, engine), row.found) << row.pattern << " (engine)";
    }
    const Win32Regex caseless("HELLO", boost::regex_constants::icase);
    EXPECT_TRUE(boost::regex_search("say hello", caseless));
}

TEST_F(Win32TraitsTest, WithoutCatalogueErrorsAreTheEngines)
{
    for (const char* pattern :
         {"a(b", "a)", "[a", "a{1", "*a", "\\", "[[:nope:]]", "[z-a]", "a{2,1}", "(?<", "a\\2", "[[.nope.]]", ""}) {
        const CompileResult win32 = Compile<Win32Regex>(pattern);
        const CompileResult engine = Compile<boost::regex>(pattern);
        EXPECT_EQ(win32.ok, engine.ok) << pattern;
        EXPECT_EQ(win32.code, engine.code) << pattern;
        EXPECT_EQ(win32.message, engine.message) << pattern;
    }
}

TEST_F(Win32TraitsTest, CatalogueRenamesErrorMessages)
{
    const std::string module = Module({{200 + kParenCode, "Klammer fehlt"}});
    EXPECT_EQ(Win32RegexTraits::catalog_name(module), "");
    EXPECT_EQ(Win32RegexTraits::get_catalog_name(), module);

    const CompileResult renamed = Compile<Win32Regex>("a(b");
    EXPECT_FALSE(renamed.ok);
    EXPECT_EQ(renamed.code, kParenCode);
    EXPECT_EQ(renamed.message.rfind("Klammer fehlt", 0), 0u) << renamed.message;

    // Ids the module lacks keep the built-in text.
    EXPECT_EQ(Compile<Win32Regex>("[a").message, Compile<boost::regex>("[a").message);

    EXPECT_EQ(Win32RegexTraits::catalog_name(""), module);
    EXPECT_EQ(Compile<Win32Regex>("a(b").message, Compile<boost::regex>("a(b").message);
}

TEST_F(Win32TraitsTest, CatalogueSuppliesSyntaxCharactersAndClassNames)
{
    // Id 12 is the escape character; id 309 names the space class.
    Win32RegexTraits::catalog_name(Module({{12, "%"}, {309, "leer"}}));
    const Win32Regex digits("^%d+$");
    EXPECT_TRUE(boost::regex_match("42", digits));
    EXPECT_FALSE(boost::regex_match("4a", digits));
    // The backslash has lost its role and is an ordinary character.
    EXPECT_TRUE(boost::regex_match("a\\b", Win32Regex("a\\b")));

    const Win32Regex blank("^[[:leer:]]+$");
    EXPECT_TRUE(boost::regex_match(" \t ", blank));
    EXPECT_FALSE(boost::regex_match("x", blank));
    EXPECT_TRUE(boost::regex_match(" ", Win32Regex("[[:LEER:]]")));
    // Letters without a role still stand for classes.
    EXPECT_TRUE(boost::regex_match("ab_9", Win32Regex("%w+")));
}

TEST_F(Win32TraitsTest, SpaceClassLetterEscapesTheSpaceClass)
{
    // Without a catalogue \e is the escape character, as in the engine.
    EXPECT_TRUE(boost::regex_match("\x1b", Win32Regex("\\e")));

    for (const char* letter : {"e", "E", "y"}) {
        Win32RegexTraits::catalog_name(Module({{143, letter}}));
        const Win32Regex separator(std::string("^\\") + letter + "+$");
        EXPECT_TRUE(boost::regex_match(" \t\n", separator)) << letter;
        EXPECT_FALSE(boost::regex_match("\x1b", separator)) << letter;
        EXPECT_FALSE(boost::regex_match(letter, separator)) << letter;
        EXPECT_TRUE(boost::regex_match(" ", Win32Regex(std::string("[[:") + letter + ":]]"))) << letter;
    }
    // A letter the module gives a syntax role of its own keeps that role.
    Win32RegexTraits::catalog_name(Module({{143, "e"}, {38, "e"}}));
    EXPECT_TRUE(boost::regex_match("\x1b", Win32Regex("\\e")));
}

TEST_F(Win32TraitsTest, MissingCatalogueThrowsRuntimeErrorWhenCompiling)
{
    const std::string missing = m_dir.file("absent.dll");
    Win32RegexTraits::catalog_name(missing);
    bool thrown = false;
    try {
        Win32Regex expression("abc");
    } catch (const boost::regex_error&) {
        ADD_FAILURE() << "a missing catalogue is not a syntax error";
    } catch (const std::runtime_error& e) {
        thrown = true;
        EXPECT_EQ(std::string(e.what()), "Unable to open message catalog: " + missing);
    }
    EXPECT_TRUE(thrown);
    // Once the module appears, installing it again succeeds.
    Module({{1, "("}}, "absent.dll");
    Win32RegexTraits::catalog_name(missing);
    EXPECT_TRUE(Compile<Win32Regex>("a(b)").ok);
}

TEST_F(Win32TraitsTest, CataloguesOfTheTwoTraitsAreIndependent)
{
    const std::string missing = m_dir.file("absent.dll");
    const std::string previous = boost::cpp_regex_traits<char>::catalog_name(missing);
    EXPECT_TRUE(Compile<Win32Regex>("a(b)").ok);
    boost::cpp_regex_traits<char>::catalog_name(previous);

    Win32RegexTraits::catalog_name(missing);
    EXPECT_TRUE(Compile<boost::regex>("a(b)").ok);
    EXPECT_THROW(Win32Regex("a"), std::runtime_error);
}

TEST_F(Win32TraitsTest, InstallingAgainReadsTheModuleAgain)
{
    const std::string module = Module({{200 + kParenCode, "first"}});
    Win32RegexTraits::catalog_name(module);
    EXPECT_EQ(Compile<Win32Regex>("(").message.rfind("first", 0), 0u);
    Module({{200 + kParenCode, "second"}});
    EXPECT_EQ(Compile<Win32Regex>("(").message.rfind("first", 0), 0u);  // not installed again yet
    Win32RegexTraits::catalog_name(module);
    EXPECT_EQ(Compile<Win32Regex>("(").message.rfind("second", 0), 0u);
}

TEST_F(Win32TraitsTest, UnknownEnvironmentLocaleFallsBackToC)
{
    const char* saved = std::getenv("LC_ALL");
    const std::optional<std::string> old = saved ? std::optional<std::string>(saved) : std::nullopt;
    ::setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
    EXPECT_TRUE(boost::regex_match("abc", Win32Regex("\\w+")));
    if (old)
        ::setenv("LC_ALL", old->c_str(), 1);
    else
        ::unsetenv("LC_ALL");
}

TEST_F(Win32TraitsTest, ConcurrentCompilationsSeeTheCatalogue)
{
    Win32RegexTraits::catalog_name(Module({{200 + kParenCode, "Klammer fehlt"}}));
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (std::size_t t = 0; t < 4; ++t) {
        threads.emplace_back([t, &wrong] {
            for (int i = 0; i < 100; ++i) {
                if (Compile<Win32Regex>("a(b").message.rfind("Klammer fehlt", 0) != 0)
                    ++wrong[t];
                if (!Compile<Win32Regex>("a(b)").ok)
                    ++wrong[t];
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}
