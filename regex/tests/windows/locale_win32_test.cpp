// The Win32 locale layers: locale DLLs loaded as data files, native names
// from GetLocaleInfoA, the engine's Win32 traits, and what LocaleCpp does
// with MinGW's "C"-only std::locale.

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <locale>
#include <stdexcept>
#include <thread>
#include <vector>

#include "vantrel/RegularExpression.h"

#include "LocaleDll.h"
#include "LocaleDllMessages.h"
#include "NativeLocaleNames.h"
#include "PeWriter.h"
#include "ResourceModule.h"

using namespace RegexClass::detail;
using RE = RegexClass::RegularExpression;

namespace {

// The directory of this test program, where the build puts the modules.
std::string ProgramDirectory()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length);
    return text.substr(0, text.find_last_of("\\/"));
}

std::string Module(const std::string& name)
{
    return ProgramDirectory() + "\\" + name;
}

std::string ReadOrEmpty(const ResourceModule& module, unsigned id)
{
    std::string text;
    return module.ReadString(id, text) ? text : "(none)";
}

}  // namespace

TEST(ResourceModule, ReadsTheStringsOfARealDll)
{
    const auto module = ResourceModule::Load(Module("messages.dll"));
    ASSERT_TRUE(module);
    EXPECT_EQ(ReadOrEmpty(*module, 143), "e");
    EXPECT_EQ(ReadOrEmpty(*module, 251), "Leerer Ausdruck");
    EXPECT_EQ(ReadOrEmpty(*module, 252), "Sprachmodul fehlt: ");
    EXPECT_EQ(ReadOrEmpty(*module, 144), "(none)");
}

// LoadLibraryA fails on this module because its entry point refuses; loaded
// as a data file, its entry point never runs and its strings are readable.
TEST(ResourceModule, RunsNoCodeOfTheModule)
{
    const std::string path = Module("refuses_to_load.dll");
    HMODULE executable = LoadLibraryA(path.c_str());
    EXPECT_EQ(executable, nullptr);
    if (executable)
        FreeLibrary(executable);
    const auto module = ResourceModule::Load(path);
    ASSERT_TRUE(module);
    EXPECT_EQ(ReadOrEmpty(*module, 251), "Leerer Ausdruck");
}

TEST(ResourceModule, ReadsModulesOfThePeWriter)
{
    petest::ScratchDirectory dir;
    for (bool pe64 : {false, true}) {
        petest::PeOptions options;
        options.pe64 = pe64;
        const std::string path = dir.file(pe64 ? "writer64.dll" : "writer32.dll");
        ASSERT_TRUE(petest::WriteStringModule(path, {{251, "Leerer Ausdruck"}, {143, "e"}}, options));
        const auto module = ResourceModule::Load(path);
        ASSERT_TRUE(module) << path;
        EXPECT_EQ(ReadOrEmpty(*module, 251), "Leerer Ausdruck") << path;
        EXPECT_EQ(ReadOrEmpty(*module, 143), "e") << path;
    }
}

TEST(ResourceModule, RefusesWhatIsNotAModule)
{
    petest::ScratchDirectory dir;
    const std::string text = dir.file("notes.dll");
    std::ofstream(text) << "just text";
    EXPECT_FALSE(ResourceModule::Load(text));
    EXPECT_FALSE(ResourceModule::Load(dir.file("missing.dll")));
}

// A string is taken into a buffer of 255 characters.
TEST(ResourceModule, TakesAtMost255Characters)
{
    petest::ScratchDirectory dir;
    const std::string path = dir.file("long.dll");
    ASSERT_TRUE(petest::WriteStringModule(path, {{251, std::string(300, 'x')}}));
    const auto module = ResourceModule::Load(path);
    ASSERT_TRUE(module);
    EXPECT_EQ(ReadOrEmpty(*module, 251), std::string(255, 'x'));
}

TEST(NativeLocaleNames, AreTheUserDefaultLocalesNativeNames)
{
    char language[128] = {}, country[128] = {};
    ASSERT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SNATIVELANGNAME, language, sizeof language), 1);
    ASSERT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SNATIVECTRYNAME, country, sizeof country), 1);
    const NativeLocaleNames names = UserNativeLocaleNames();
    EXPECT_EQ(names.language, language);
    EXPECT_EQ(names.country, country);
}

// The candidates from the user's native names, tried in order: each row
// leaves only some of the names present in a fresh directory.
TEST(LocaleDllResolution, TriesTheUsersLanguageAndCountryThenDll)
{
    const NativeLocaleNames names = UserNativeLocaleNames();
    ASSERT_FALSE(names.language.empty());
    const std::string byCountry = "msgs." + FirstCharacters(names.language, 2) + FirstCharacters(names.country, 1);
    const std::string byLanguage = "msgs." + FirstCharacters(names.language, 2);
    struct Row {
        std::vector<std::string> present;
        std::string expected;  // "" = nothing loads
    };
    const Row rows[] = {
        {{byCountry, byLanguage, "msgs.dll"}, byCountry},
        {{byLanguage, "msgs.dll"}, byLanguage},
        {{"msgs.dll"}, "msgs.dll"},
        {{}, ""},
    };
    for (const Row& row : rows) {
        petest::ScratchDirectory dir;
        for (const std::string& name : row.present)
            ASSERT_TRUE(CopyFileA(Module("messages.dll").c_str(), dir.file(name).c_str(), TRUE));
        LocaleDllStrings strings;
        const std::string resolved = ResolveLocaleDll(dir.file("msgs"), strings);
        EXPECT_EQ(resolved, row.expected.empty() ? "" : dir.file(row.expected)) << row.expected;
        EXPECT_EQ(strings.emptyExpressionMessage, row.expected.empty() ? "" : "Leerer Ausdruck");
    }
}

// The DLL's texts reach the caller in both models with a catalogue: the
// engine's error text through its catalogue, string 251 through the component.
TEST(LocaleModels, LocaleDllMessagesReachTheCaller)
{
    for (RE::LocaleModels model : {RE::LocaleWin32, RE::LocaleCpp}) {
        RE re;
        re.SetLocaleModel(model);
        re.SetLocaleDll(Module("messages.dll"));
        re.SetExpression("a(b");
        ASSERT_EQ(re.ParseExpression(), RE::ErrorParenthesis) << "model " << model;
        EXPECT_NE(re.GetExpressionError().find("Klammer fehlt"), std::string::npos)
            << "model " << model << ": " << re.GetExpressionError();
        re.SetExpression("");
        EXPECT_EQ(re.GetExpressionError(), "Leerer Ausdruck") << "model " << model;
    }
}

// Threads that end with catalogues still open release them with the heap intact.
TEST(LocaleDllMessages, ThreadsEndWithCataloguesOpen)
{
    const std::locale locale(std::locale::classic(), new LocaleDllMessages());
    const auto& messages = std::use_facet<std::messages<char>>(locale);
    std::vector<std::thread> threads;
    std::vector<std::string> texts(20);
    for (std::size_t i = 0; i < texts.size(); ++i)
        threads.emplace_back([&, i] {
            const auto cat = messages.open(Module("messages.dll"), locale);
            messages.open(Module("messages.dll"), locale);
            texts[i] = messages.get(cat, 0, 251, "none");
        });
    for (std::thread& thread : threads)
        thread.join();
    for (const std::string& text : texts)
        EXPECT_EQ(text, "Leerer Ausdruck");
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
}

// Threads that compile through a catalogue and end, one after another and
// side by side, leave the process and the catalogue working.
TEST(LocaleModels, ThreadsThatEndKeepTheCatalogueWorking)
{
    auto compile = [] {
        RE re;
        re.SetLocaleModel(RE::LocaleCpp);
        re.SetLocaleDll(Module("messages.dll"));
        re.SetExpression("a(b");
        return re.ParseExpression();
    };
    for (int round = 0; round < 4; ++round) {
        std::vector<std::thread> threads;
        std::vector<int> results(8, -1);
        for (std::size_t i = 0; i < results.size(); ++i)
            threads.emplace_back([&, i] { results[i] = compile(); });
        for (std::thread& thread : threads)
            thread.join();
        for (int result : results)
            EXPECT_EQ(result, RE::ErrorParenthesis);
    }
    EXPECT_EQ(compile(), RE::ErrorParenthesis);
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
}

TEST(LocaleModels, AMissingLocaleDllIsNotAnError)
{
    for (RE::LocaleModels model : {RE::LocaleWin32, RE::LocaleCpp}) {
        RE re;
        re.SetLocaleModel(model);
        re.SetLocaleDll(Module("no-such-module"));
        re.SetExpression("a(b)");
        EXPECT_EQ(re.ParseExpression(), RE::NoError) << "model " << model;
    }
}

// MinGW's libstdc++ knows only the "C" std::locale, so LocaleCpp classifies
// as "C" does: letters beyond ASCII are letters only in LocaleWin32, which
// follows the user's Windows code page (1252 for the English user of Wine).
TEST(LocaleModels, LocaleCppClassifiesAsTheCLocale)
{
    EXPECT_THROW(std::locale(""), std::runtime_error);
    ASSERT_EQ(GetACP(), 1252u);
    const std::string eAcute = "\xE9", capitalEAcute = "\xC9";
    struct Row {
        RE::LocaleModels model;
        bool alpha;      // [[:alpha:]] matches e acute
        bool foldsCase;  // e acute matches E acute under IgnoreCase
    };
    for (const Row& row : {Row{RE::LocaleWin32, true, true}, Row{RE::LocaleCpp, false, false}}) {
        RE re;
        re.SetLocaleModel(row.model);
        re.SetExpression("[[:alpha:]]");
        re.SetStringToMatch(eAcute);
        EXPECT_EQ(re.MatchAll(), row.alpha) << "model " << row.model;
        re.SetExpression(eAcute);
        re.AddExpressionOption(RE::IgnoreCase);
        re.SetStringToMatch(capitalEAcute);
        EXPECT_EQ(re.MatchAll(), row.foldsCase) << "model " << row.model;
    }
}
