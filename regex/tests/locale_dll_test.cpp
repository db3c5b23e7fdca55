// Locale DLL resolution, the module-backed messages facet and the default
// split separator.

#include <gtest/gtest.h>

#include <boost/regex.hpp>

#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <sys/stat.h>
#include <thread>

#include "vantrel/RegularExpression.h"

#include "../src/LocaleDll.h"
#include "../src/LocaleDllMessages.h"
#include "../src/NativeLocaleNames.h"
#include "support/PeWriter.h"

using namespace RegexClass::detail;
using Candidates = std::vector<std::string>;

namespace {

bool LocaleInstalled(const char* name)
{
    locale_t l = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0));
    if (l == static_cast<locale_t>(0))
        return false;
    freelocale(l);
    return true;
}

// Sets the locale variables for one test and puts the old values back.
class UserLocaleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : kVariables) {
            const char* value = std::getenv(name);
            m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override
    {
        for (const auto& entry : m_saved) {
            if (entry.second)
                ::setenv(entry.first.c_str(), entry.second->c_str(), 1);
            else
                ::unsetenv(entry.first.c_str());
        }
    }
    // LC_ALL = name, the others cleared; false when the locale is not installed.
    bool UseLocale(const char* name)
    {
        for (const char* variable : kVariables)
            ::unsetenv(variable);
        ::setenv("LC_ALL", name, 1);
        return LocaleInstalled(name);
    }

    static constexpr const char* kVariables[] = {"LC_ALL", "LC_ADDRESS", "LC_CTYPE", "LANG"};
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

#define USE_LOCALE_OR_SKIP(name)                                                                                       \
    do {                                                                                                               \
        if (!UseLocale(name))                                                                                          \
            GTEST_SKIP() << name << " is not installed (make deps generates it)";                                      \
    } while (0)

}  // namespace

TEST(LocaleDllCandidates, FollowLanguageAndCountryNames)
{
    struct Row {
        std::string name, language, country;
        Candidates expected;
    };
    const Row rows[] = {
        {"msgs", "English", "United States", {"msgs.EnU", "msgs.En", "msgs.dll"}},
        {"msgs", "Deutsch", "Deutschland", {"msgs.DeD", "msgs.De", "msgs.dll"}},
        {"lang\\msgs.res", "English", "United States", {"lang\\msgs.res"}},
        {"lang/msgs.res", "English", "United States", {"lang/msgs.res"}},
        {"lang.d\\msgs", "English", "United States", {"lang.d\\msgs.EnU", "lang.d\\msgs.En", "lang.d\\msgs.dll"}},
        {"lang.d/msgs", "English", "United States", {"lang.d/msgs.EnU", "lang.d/msgs.En", "lang.d/msgs.dll"}},
        {"a.b/c\\msgs.", "English", "United States", {"a.b/c\\msgs."}},
        {"msgs", "English", "", {"msgs.En", "msgs.dll"}},
        {"msgs", "", "United States", {"msgs.dll"}},
        {"msgs", "", "", {"msgs.dll"}},
        // Names shorter than the part taken are used whole.
        {"msgs", "E", "", {"msgs.E", "msgs.dll"}},
        {"msgs", "E", "U", {"msgs.EU", "msgs.E", "msgs.dll"}},
        // Characters, not bytes: Greek letters take two bytes each.
        {"msgs",
         "\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac",
         "\u0395\u03bb\u03bb\u03ac\u03b4\u03b1",
         {"msgs.\u0395\u03bb\u0395", "msgs.\u0395\u03bb", "msgs.dll"}},
        {"msgs", "\u65e5\u672c\u8a9e", "\u65e5\u672c", {"msgs.\u65e5\u672c\u65e5", "msgs.\u65e5\u672c", "msgs.dll"}},
        // An empty name has no locale candidates, only ".dll".
        {"", "English", "United States", {".dll"}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(LocaleDllCandidates(row.name, row.language, row.country), row.expected)
            << "name '" << row.name << "' language '" << row.language << "'";
}

TEST(LocaleDllCandidates, ExtensionIsADotAfterTheLastSeparator)
{
    const std::pair<const char*, bool> rows[] = {
        {"msgs", false},        {"msgs.dll", true},  {"lang\\msgs.res", true}, {"lang.d\\msgs", false},
        {"lang.d/msgs", false}, {"a/b.c\\d", false}, {"a\\b.c/d.e", true},     {".hidden", true},
        {"dir.x/", false},      {"", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(LocaleDllHasExtension(row.first), row.second) << row.first;
}

TEST(FirstCharacters, CountsUtf8CharactersAndInvalidBytesAsOne)
{
    EXPECT_EQ(FirstCharacters("English", 2), "En");
    EXPECT_EQ(FirstCharacters("\u00c9cosse", 1), "\u00c9");
    EXPECT_EQ(FirstCharacters("\U0001F600x", 1), "\U0001F600");
    EXPECT_EQ(FirstCharacters("\xff\xfe"
                              "abc",
                              2),
              "\xff\xfe");
    EXPECT_EQ(FirstCharacters("\xc3", 2), "\xc3");  // truncated sequence
    EXPECT_EQ(CharacterCount("\u0395\u03bb\u03bb\u03ac"), 4u);
}

TEST_F(UserLocaleTest, CandidatesFollowTheEnvironmentLocale)
{
    USE_LOCALE_OR_SKIP("en_US.UTF-8");
    EXPECT_EQ(UserNativeLocaleNames().language, "English");
    EXPECT_EQ(LocaleDllCandidates("msgs"), (Candidates{"msgs.EnU", "msgs.En", "msgs.dll"}));

    USE_LOCALE_OR_SKIP("de_DE.UTF-8");
    EXPECT_EQ(LocaleDllCandidates("msgs"), (Candidates{"msgs.DeD", "msgs.De", "msgs.dll"}));
    EXPECT_EQ(LocaleDllCandidates("lang\\msgs.res"), (Candidates{"lang\\msgs.res"}));
}

TEST_F(UserLocaleTest, LaterVariablesApplyOnlyWithoutLcAll)
{
    if (!LocaleInstalled("en_US.UTF-8") || !LocaleInstalled("de_DE.UTF-8"))
        GTEST_SKIP() << "en_US.UTF-8 or de_DE.UTF-8 is not installed";
    for (const char* variable : kVariables)
        ::unsetenv(variable);
    ::setenv("LANG", "en_US.UTF-8", 1);
    EXPECT_EQ(UserNativeLocaleNames().country, "United States");
    ::setenv("LC_ADDRESS", "de_DE.UTF-8", 1);
    EXPECT_EQ(UserNativeLocaleNames().country, "Deutschland");
    ::setenv("LC_ALL", "en_US.UTF-8", 1);
    EXPECT_EQ(UserNativeLocaleNames().country, "United States");
}

TEST_F(UserLocaleTest, NoNamesInTheCLocaleOrAMissingOne)
{
    for (const char* name : {"C", "POSIX", "xx_NOWHERE.UTF-8"}) {
        UseLocale(name);
        const NativeLocaleNames names = UserNativeLocaleNames();
        EXPECT_EQ(names.language, "") << name;
        EXPECT_EQ(LocaleDllCandidates("msgs"), (Candidates{"msgs.dll"})) << name;
    }
}

TEST_F(UserLocaleTest, ResolutionTakesTheFirstCandidateThatLoads)
{
    USE_LOCALE_OR_SKIP("en_US.UTF-8");
    petest::ScratchDirectory dir;
    const std::string base = dir.file("msgs");
    LocaleDllStrings strings;

    EXPECT_EQ(ResolveLocaleDll(base, strings), "");

    ASSERT_TRUE(petest::WriteStringModule(base + ".dll", {{251, "from dll"}}));
    EXPECT_EQ(ResolveLocaleDll(base, strings), base + ".dll");
    EXPECT_EQ(strings.emptyExpressionMessage, "from dll");

    ASSERT_TRUE(petest::WriteStringModule(base + ".En", {{251, "from En"}}));
    EXPECT_EQ(ResolveLocaleDll(base, strings), base + ".En");
    EXPECT_EQ(strings.emptyExpressionMessage, "from En");

    // A file that is not a module is passed over.
    ASSERT_TRUE(petest::WriteBytes(base + ".EnU", std::vector<std::uint8_t>(100, 'x')));
    EXPECT_EQ(ResolveLocaleDll(base, strings), base + ".En");

    ASSERT_TRUE(petest::WriteStringModule(base + ".EnU", {{251, "from EnU"}}));
    EXPECT_EQ(ResolveLocaleDll(base, strings), base + ".EnU");
    EXPECT_EQ(strings.emptyExpressionMessage, "from EnU");
}

TEST_F(UserLocaleTest, NameWithExtensionIsTriedAlone)
{
    USE_LOCALE_OR_SKIP("en_US.UTF-8");
    petest::ScratchDirectory dir;
    const std::string name = dir.file("msgs.res");
    for (const char* other : {".dll", ".EnU", ".En"})
        ASSERT_TRUE(petest::WriteStringModule(name + other, {{251, "wrong"}}));
    LocaleDllStrings strings;
    strings.emptyExpressionMessage = "kept";
    EXPECT_EQ(ResolveLocaleDll(name, strings), "");
    EXPECT_EQ(strings.emptyExpressionMessage, "kept");  // nothing loaded, nothing read

    ASSERT_TRUE(petest::WriteStringModule(name, {{251, "right"}}));
    EXPECT_EQ(ResolveLocaleDll(name, strings), name);
    EXPECT_EQ(strings.emptyExpressionMessage, "right");
}

TEST(ResolveLocaleDll, ReadsTheComponentsThreeStrings)
{
    petest::ScratchDirectory dir;
    struct Row {
        const char* what;
        std::map<unsigned, std::string> module;
        char letter;
        std::string empty, dll;
    };
    const Row rows[] = {
        {"all three",
         {{143, "e"}, {251, "Leerer Ausdruck"}, {252, "DLL fehlt: "}},
         'e',
         "Leerer Ausdruck",
         "DLL fehlt: "},
        {"first character only", {{143, "leer"}}, 'l', "", ""},
        {"none", {{1, "("}}, 0, "", ""},
        {"empty 143", {{143, ""}, {251, "x"}}, 0, "x", ""},
        {"non-ASCII 143", {{143, "\u00e9"}}, 0, "", ""},
        {"143 not a letter", {{143, "%"}}, 0, "", ""},
        {"long message capped", {{252, std::string(300, 'm')}}, 0, "", std::string(255, 'm')},
    };
    for (const Row& row : rows) {
        const std::string path = dir.file("strings.mod");
        ASSERT_TRUE(petest::WriteStringModule(path, row.module));
        LocaleDllStrings strings;
        strings.spaceClassLetter = 'q';
        strings.emptyExpressionMessage = "stale";
        strings.localeDllMessage = "stale";
        EXPECT_EQ(ResolveLocaleDll(path, strings), path) << row.what;
        EXPECT_EQ(strings.spaceClassLetter, row.letter) << row.what;
        EXPECT_EQ(strings.emptyExpressionMessage, row.empty) << row.what;
        EXPECT_EQ(strings.localeDllMessage, row.dll) << row.what;
    }
}

TEST(ResolveLocaleDll, NamesOf256CharactersOrMoreLoadButKeepNoStrings)
{
    petest::ScratchDirectory dir;
    const std::string sub = dir.file(std::string(200, 'd'));
    ASSERT_EQ(::mkdir(sub.c_str(), 0700), 0);
    const std::map<unsigned, std::string> module = {{143, "e"}, {251, "long"}};
    const std::string shortName = dir.file("m.dll");
    std::string longName = sub + "/";
    longName += std::string(256 - longName.size(), 'x') + ".dll";
    ASSERT_GE(longName.size(), 256u);
    ASSERT_TRUE(petest::WriteStringModule(shortName, module));
    ASSERT_TRUE(petest::WriteStringModule(longName, module));

    LocaleDllStrings strings;
    ASSERT_EQ(ResolveLocaleDll(shortName, strings), shortName);
    EXPECT_EQ(strings.spaceClassLetter, 'e');
    // Strings read from an earlier module must not linger beside this one.
    EXPECT_EQ(ResolveLocaleDll(longName, strings), longName);
    EXPECT_EQ(strings.spaceClassLetter, 0);
    EXPECT_EQ(strings.emptyExpressionMessage, "");
}

TEST(SpaceClassLetterOf, TakesAnAsciiLetterOnly)
{
    const std::pair<std::string, char> rows[] = {
        {"e", 'e'}, {"leer", 'l'}, {"E", 'E'}, {"", 0}, {"%", 0}, {"1", 0}, {"\\", 0}, {" ", 0}, {"\u00e9", 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(SpaceClassLetterOf(row.first), row.second) << row.first;
}

TEST(DefaultSplitSeparator, LetterAppliesToCppAndWin32Models)
{
    struct Row {
        char letter;
        int model;
        const char* expected;
    };
    const Row rows[] = {
        {0, 0, "\\s+"},   {0, 1, "\\s+"},   {0, 2, "\\s+"},   {'e', 0, "\\e+"},
        {'e', 1, "\\e+"}, {'e', 2, "\\s+"}, {'e', 7, "\\e+"}, {'e', -1, "\\e+"},  // other values compile as LocaleCpp
    };
    for (const Row& row : rows)
        EXPECT_EQ(DefaultSplitSeparator(row.letter, row.model), row.expected)
            << "letter " << int(row.letter) << " model " << row.model;
}

class LocaleDllMessagesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(petest::WriteStringModule(m_module, {{5, "five"}, {251, "Leerer Ausdruck"}})); }
    std::locale m_locale{std::locale::classic(), new LocaleDllMessages()};
    const std::messages<char>& m_messages = std::use_facet<std::messages<char>>(m_locale);
    petest::ScratchDirectory m_dir;
    std::string m_module = m_dir.file("msgs.dll");
};

TEST_F(LocaleDllMessagesTest, NumbersReuseTheSmallestFree)
{
    EXPECT_EQ(m_messages.open(m_module, m_locale), 0);
    EXPECT_EQ(m_messages.open(m_module, m_locale), 1);
    EXPECT_EQ(m_messages.open(m_module, m_locale), 2);
    m_messages.close(0);
    EXPECT_EQ(m_messages.open(m_module, m_locale), 0);
    m_messages.close(1);
    m_messages.close(1);  // closing twice is harmless
    EXPECT_EQ(m_messages.open(m_module, m_locale), 1);
    EXPECT_EQ(LocaleDllMessages::OpenCatalogueCount(), 3u);
    for (int cat : {0, 1, 2})
        m_messages.close(cat);
    EXPECT_EQ(LocaleDllMessages::OpenCatalogueCount(), 0u);
}

TEST_F(LocaleDllMessagesTest, FailedOpenAnswersMinusOne)
{
    EXPECT_EQ(m_messages.open(m_dir.file("absent.dll"), m_locale), -1);
    EXPECT_EQ(m_messages.open("", m_locale), -1);
    EXPECT_EQ(LocaleDllMessages::OpenCatalogueCount(), 0u);
}

TEST_F(LocaleDllMessagesTest, GetReadsTheModuleOrAnswersTheDefault)
{
    const auto cat = m_messages.open(m_module, m_locale);
    ASSERT_EQ(cat, 0);
    EXPECT_EQ(m_messages.get(cat, 0, 251, "default"), "Leerer Ausdruck");
    EXPECT_EQ(m_messages.get(cat, 99, 5, "default"), "five");  // set is ignored
    EXPECT_EQ(m_messages.get(cat, 0, 6, "default"), "default");
    EXPECT_EQ(m_messages.get(cat, 0, -3, "default"), "default");
    EXPECT_EQ(m_messages.get(cat + 1, 0, 5, "default"), "default");
    m_messages.close(cat);
    EXPECT_EQ(m_messages.get(cat, 0, 5, "default"), "default");
}

TEST_F(LocaleDllMessagesTest, EachThreadHasItsOwnRegistry)
{
    ASSERT_EQ(m_messages.open(m_module, m_locale), 0);
    ASSERT_EQ(m_messages.open(m_module, m_locale), 1);
    std::string seenFromOtherThread;
    int otherFirst = -2, otherSecond = -2;
    std::size_t otherCount = 0;
    std::thread other([&] {
        seenFromOtherThread = m_messages.get(1, 0, 5, "not here");
        otherFirst = m_messages.open(m_module, m_locale);
        otherSecond = m_messages.open(m_module, m_locale);
        otherCount = LocaleDllMessages::OpenCatalogueCount();
        // Left open on purpose: the thread's end releases them.
    });
    other.join();
    EXPECT_EQ(seenFromOtherThread, "not here");
    EXPECT_EQ(otherFirst, 0);
    EXPECT_EQ(otherSecond, 1);
    EXPECT_EQ(otherCount, 2u);
    EXPECT_EQ(LocaleDllMessages::OpenCatalogueCount(), 2u);
    EXPECT_EQ(m_messages.get(1, 0, 5, "default"), "five");
    m_messages.close(0);
    m_messages.close(1);
}

TEST_F(LocaleDllMessagesTest, EngineReadsItsCatalogueThroughTheFacet)
{
    ASSERT_TRUE(petest::WriteStringModule(m_module, {{200 + boost::regex_constants::error_paren, "Klammer fehlt"}}));
    const std::string previous = boost::cpp_regex_traits<char>::catalog_name(m_module);
    std::string message;
    try {
        boost::regex expression;
        expression.imbue(std::locale(std::locale::classic(), new LocaleDllMessages()));
        expression.assign("a(b");
    } catch (const boost::regex_error& e) {
        message = e.what();
    }
    boost::cpp_regex_traits<char>::catalog_name(previous);
    EXPECT_EQ(message.rfind("Klammer fehlt", 0), 0u) << message;
}

TEST_F(LocaleDllMessagesTest, ReleasingTheFacetClosesWhatItLeftOpen)
{
    std::vector<int> kept;
    const std::size_t before = LocaleDllMessages::OpenCatalogueCount();
    {
        std::locale other(std::locale::classic(), new LocaleDllMessages());
        const auto& messages = std::use_facet<std::messages<char>>(other);
        kept.push_back(m_messages.open(m_module, m_locale));
        ASSERT_GE(messages.open(m_module, other), 0);
        ASSERT_GE(messages.open(m_module, other), 0);
        kept.push_back(m_messages.open(m_module, m_locale));
        EXPECT_EQ(LocaleDllMessages::OpenCatalogueCount(), before + 4);
    }
    // Only the catalogues of the released facet went.
    EXPECT_EQ(LocaleDllMessages::OpenCatalogueCount(), before + 2);
    for (int cat : kept) {
        EXPECT_EQ(m_messages.get(cat, 0, 5, "default"), "five");
        m_messages.close(cat);
    }
    EXPECT_EQ(LocaleDllMessages::OpenCatalogueCount(), before);
}

TEST_F(LocaleDllMessagesTest, SpaceClassLetterTakesOverItsSyntaxRole)
{
    ASSERT_TRUE(petest::WriteStringModule(m_module, {{143, "e"}, {1, "("}}));
    const auto cat = m_messages.open(m_module, m_locale);
    ASSERT_GE(cat, 0);
    EXPECT_EQ(m_messages.get(cat, 0, 38, "e"), "");     // the engine's \e for escape
    EXPECT_EQ(m_messages.get(cat, 0, 57, "gk"), "gk");  // other defaults stay
    EXPECT_EQ(m_messages.get(cat, 0, 1, "("), "(");
    EXPECT_EQ(m_messages.get(cat, 0, 309, ""), "e");  // class name of the space class
    EXPECT_EQ(m_messages.get(cat, 0, 310, ""), "");
    m_messages.close(cat);

    ASSERT_TRUE(petest::WriteStringModule(m_module, {{143, "e"}, {309, "leer"}, {38, "e"}}));
    const auto own = m_messages.open(m_module, m_locale);
    EXPECT_EQ(m_messages.get(own, 0, 38, "e"), "e");  // the module's own choices win
    EXPECT_EQ(m_messages.get(own, 0, 309, ""), "leer");
    m_messages.close(own);
}

TEST_F(LocaleDllMessagesTest, EngineTakesTheSpaceClassLetterAsEscape)
{
    ASSERT_TRUE(petest::WriteStringModule(m_module, {{143, "e"}}));
    const std::string previous = boost::cpp_regex_traits<char>::catalog_name(m_module);
    boost::regex separator;
    separator.imbue(std::locale(std::locale::classic(), new LocaleDllMessages()));
    separator.assign("^\\e+$");
    boost::cpp_regex_traits<char>::catalog_name(previous);
    EXPECT_TRUE(boost::regex_match(" \t ", separator));
    EXPECT_FALSE(boost::regex_match("\x1b", separator));
    EXPECT_FALSE(boost::regex_match("e", separator));
}

// Through the component: what a compilation reads from the locale DLL.
TEST(ComponentWithLocaleDll, SpaceLetterAndMessagesReachTheObject)
{
    using RE = RegexClass::RegularExpression;
    petest::ScratchDirectory dir;
    const std::string module = dir.file("msgs.mod");
    ASSERT_TRUE(petest::WriteStringModule(module, {{143, "e"}, {251, "Leerer Ausdruck"}}));
    for (RE::LocaleModels model : {RE::LocaleWin32, RE::LocaleCpp, RE::LocaleC}) {
        SCOPED_TRACE(static_cast<int>(model));
        RE re;
        re.SetLocaleModel(model);
        re.SetLocaleDll(module);
        re.SetExpression("x");
        ASSERT_EQ(re.ParseExpression(), RE::NoError);
        re.SetExpression("");
        // LocaleC reads no locale DLL.
        EXPECT_EQ(re.GetExpressionError(), model == RE::LocaleC ? "Empty expression" : "Leerer Ausdruck");

        re.SetStringToMatch("a  b\tc e");
        std::vector<std::string> pieces;
        EXPECT_EQ(re.Split(pieces), 4u);
        EXPECT_EQ(pieces, (std::vector<std::string>{"a", "b", "c", "e"}));
        EXPECT_EQ(re.GetExpression(), "");
    }
}
