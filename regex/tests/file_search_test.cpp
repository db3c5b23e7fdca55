// The file-search layer: walk order, names, what is visited, match details
// and problem records.

#include "../src/FileSearch.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A pattern that went wrong can walk nothing but an empty scratch directory.
const ::testing::Environment* const g_scratch =
    ::testing::AddGlobalTestEnvironment(new testsupport::ScratchDirectoryEnvironment);

using RegexClass::detail::FileMatch;
using RegexClass::detail::FileSearch;
using RegexClass::detail::SearchAnswer;
using RegexClass::detail::SearchTraits;
using testsupport::TempTree;
namespace rc = boost::regex_constants;

struct GrepHit {
    std::string file;
    std::vector<std::string> texts;
    std::vector<std::uint32_t> positions;
    unsigned int line;
};

std::vector<std::string> FindNames(FileSearch& search, const std::string& pattern, bool recurse)
{
    std::vector<std::string> names;
    search.Find(pattern, recurse, rc::match_default, [&](const std::string& name) {
        names.push_back(name);
        return SearchAnswer::Continue;
    });
    return names;
}

std::vector<GrepHit> GrepHits(FileSearch& search, const std::string& pattern, bool recurse = false)
{
    std::vector<GrepHit> hits;
    search.Grep(pattern, recurse, rc::match_default, [&](const std::string& name, const FileMatch& m) {
        GrepHit hit{name, {}, {}, m.Line()};
        for (std::size_t i = 0; i < m.Marks(); ++i) {
            hit.texts.push_back(m.Text(i));
            hit.positions.push_back(m.Position(i));
        }
        hits.push_back(hit);
        return SearchAnswer::Continue;
    });
    return hits;
}

TEST(WildcardMatch, Table)
{
    struct Row {
        const char* pattern;
        const char* name;
        bool expected;
    } rows[] = {
        {"*.txt", "a.txt", true},    {"*.txt", ".txt", true},    {"*.txt", "a.txt.bak", false},
        {"a?c", "abc", true},        {"a?c", "ac", false},       {"*", ".hidden", true},
        {"a*b*c", "aXbYbZc", true},  {"a*b*c", "aXbYbZ", false}, {"README", "README", true},
        {"README", "readme", false}, {"**x", "x", true},         {"?", "", false},
        {"*.T?T", "a.TXT", true},    {"", "a", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(RegexClass::detail::WildcardMatch(row.pattern, row.name), row.expected)
            << row.pattern << " vs " << row.name;
}

TEST(FileSearch, WalksFilesBeforeSubdirectoriesInByteOrder)
{
    TempTree tree;
    for (const char* name : {"b.txt", "a.txt", "B.txt", "x.dat", "sub/z.txt", "sub/deeper/y.txt", "Sub2/c.txt"})
        tree.Write(name, "needle\n");
    FileSearch search;
    ASSERT_TRUE(search.SetExpression("needle", false));
    const std::string root = tree.Root() + "/";
    EXPECT_EQ(FindNames(search, root + "*.txt", false),
              (std::vector<std::string>{root + "B.txt", root + "a.txt", root + "b.txt"}));
    EXPECT_EQ(FindNames(search, root + "*.txt", true),
              (std::vector<std::string>{root + "B.txt", root + "a.txt", root + "b.txt", root + "Sub2/c.txt",
                                        root + "sub/z.txt", root + "sub/deeper/y.txt"}));
    EXPECT_TRUE(search.Problems().empty());
}

TEST(FileSearch, RelativePatternsNameFilesAsWritten)
{
    TempTree tree;
    tree.Write("a.txt", "needle");
    tree.Write("dir/b.txt", "needle");
    testsupport::ScopedDirectory cwd(tree.Root());
    FileSearch search;
    ASSERT_TRUE(search.SetExpression("needle", false));
    EXPECT_EQ(FindNames(search, "*.txt", true), (std::vector<std::string>{"a.txt", "dir/b.txt"}));
    EXPECT_EQ(FindNames(search, "dir/*.txt", false), (std::vector<std::string>{"dir/b.txt"}));
    EXPECT_EQ(FindNames(search, "./dir/b.txt", false), (std::vector<std::string>{"./dir/b.txt"}));
}

TEST(FileSearch, ReportsMarksPositionsAndLines)
{
    TempTree tree;
    tree.Write("f.txt", "one\ntwo x1\nx22y\n\nx3");
    FileSearch search;
    ASSERT_TRUE(search.SetExpression("x([0-9]+)(y)?", false));
    std::vector<GrepHit> hits = GrepHits(search, tree.Path("f.txt"));
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[0].texts, (std::vector<std::string>{"x1", "1", ""}));
    EXPECT_EQ(hits[0].positions, (std::vector<std::uint32_t>{8, 9, 0xFFFFFFFFu}));
    EXPECT_EQ(hits[0].line, 2u);
    EXPECT_EQ(hits[1].texts, (std::vector<std::string>{"x22y", "22", "y"}));
    EXPECT_EQ(hits[1].positions, (std::vector<std::uint32_t>{11, 12, 14}));
    EXPECT_EQ(hits[1].line, 3u);
    EXPECT_EQ(hits[2].line, 5u);
    EXPECT_EQ(hits[2].positions[0], 17u);
}

TEST(FileSearch, SearchesBinaryBytesAndHonoursCase)
{
    TempTree tree;
    tree.Write("bin", std::string("\0\xff\0NeEdLe\0", 10));
    FileSearch search;
    ASSERT_TRUE(search.SetExpression("needle", false));
    EXPECT_TRUE(GrepHits(search, tree.Path("bin")).empty());
    ASSERT_TRUE(search.SetExpression("needle", true));
    std::vector<GrepHit> hits = GrepHits(search, tree.Path("bin"));
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].positions[0], 3u);
    EXPECT_EQ(hits[0].texts[0], "NeEdLe");
}

TEST(FileSearch, EveryTraitsModelFindsTheSameMatches)
{
    TempTree tree;
    tree.Write("f.txt", "Alpha beta\nGAMMA alpha\n");
    for (SearchTraits traits : {SearchTraits::Cpp, SearchTraits::Win32, SearchTraits::C}) {
        FileSearch search;
        search.SetTraits(traits);
        ASSERT_TRUE(search.SetExpression("alpha|[[:upper:]]+", false)) << static_cast<int>(traits);
        std::vector<GrepHit> hits = GrepHits(search, tree.Path("f.txt"));
        ASSERT_EQ(hits.size(), 3u) << static_cast<int>(traits);
        EXPECT_EQ(hits[0].texts[0], "A");
        EXPECT_EQ(hits[1].texts[0], "GAMMA");
        EXPECT_EQ(hits[2].texts[0], "alpha");
    }
}

TEST(FileSearch, RejectedExpressionFindsNothing)
{
    TempTree tree;
    tree.Write("a.txt", "a(b");
    FileSearch search;
    EXPECT_FALSE(search.SetExpression("a(b", false));
    EXPECT_FALSE(search.HasExpression());
    EXPECT_EQ(search.Find(tree.Path("*.txt"), false, rc::match_default,
                          [](const std::string&) { return SearchAnswer::Continue; }),
              0u);
}

TEST(FileSearch, VisitsRegularFilesOnlyAndNeverFollowsDirectoryLinks)
{
    TempTree tree;
    tree.Write("real/a.txt", "needle");
    tree.Link("real/loop", "..");                                      // a cycle if followed
    tree.Link("real/link.txt", "a.txt");                               // a link to a file is searched
    tree.MakeDirectory("real/dir.txt");                                // a directory matching the pattern is not a file
    ASSERT_EQ(::mkfifo(tree.Path("real/fifo.txt").c_str(), 0644), 0);  // would block if opened
    FileSearch search;
    ASSERT_TRUE(search.SetExpression("needle", false));
    const std::string root = tree.Path("real/");
    EXPECT_EQ(FindNames(search, root + "*", true), (std::vector<std::string>{root + "a.txt", root + "link.txt"}));
    EXPECT_TRUE(search.Problems().empty());
}

TEST(FileSearch, RecordsFilesThatCannotBeOpenedOrReadAndGoesOn)
{
    TempTree tree;
    tree.Link("a.txt", "missing");         // dangling: kind 0
    tree.Link("b.txt", "/proc/self/mem");  // a regular file whose read fails: kind 1
    tree.Write("c.txt", "needle");
    FileSearch search;
    ASSERT_TRUE(search.SetExpression("needle", false));
    EXPECT_EQ(FindNames(search, tree.Path("*.txt"), false), (std::vector<std::string>{tree.Path("c.txt")}));
    ASSERT_EQ(search.Problems().size(), 2u);
    EXPECT_EQ(search.Problems()[0].fileName, tree.Path("a.txt"));
    EXPECT_EQ(search.Problems()[0].kind, 0u);
    EXPECT_EQ(search.Problems()[0].detail, static_cast<std::uint32_t>(ENOENT));
    EXPECT_EQ(search.Problems()[1].fileName, tree.Path("b.txt"));
    EXPECT_EQ(search.Problems()[1].kind, 1u);
    EXPECT_NE(search.Problems()[1].detail, 0u);

    // Without continuation the first problem ends the pass.
    search.SetContinueOnProblems(false);
    EXPECT_TRUE(FindNames(search, tree.Path("*.txt"), false).empty());
    EXPECT_EQ(search.Problems().size(), 1u);
}

// Sparse files at the limits: one byte over 4294967295 is too large for any
// process; where a string cannot hold 1 GiB (32-bit processes) the largest
// searchable size is refused as out of memory instead of being read.
TEST(FileSearch, FilesAboveWhatTheProcessCanHoldAreRecordedUnread)
{
    TempTree tree;
    tree.Write("huge.bin", "");
    tree.Write("small.txt", "needle");
    const bool bNarrow = std::string().max_size() < 0xFFFFFFFFu;
    if (bNarrow)
        tree.Write("max.bin", "");
    ASSERT_EQ(truncate(tree.Path("huge.bin").c_str(), 0x100000000LL), 0);
    if (bNarrow)
        ASSERT_EQ(truncate(tree.Path("max.bin").c_str(), 0xFFFFFFFFLL), 0);
    FileSearch search;
    ASSERT_TRUE(search.SetExpression("needle", false));
    EXPECT_EQ(FindNames(search, tree.Path("*"), false), (std::vector<std::string>{tree.Path("small.txt")}));
    ASSERT_EQ(search.Problems().size(), bNarrow ? 2u : 1u);
    EXPECT_EQ(search.Problems()[0].fileName, tree.Path("huge.bin"));
    EXPECT_EQ(search.Problems()[0].kind, 1u);
    EXPECT_EQ(search.Problems()[0].detail, static_cast<std::uint32_t>(EFBIG));
    if (bNarrow) {
        EXPECT_EQ(search.Problems()[1].fileName, tree.Path("max.bin"));
        EXPECT_EQ(search.Problems()[1].kind, 1u);
        EXPECT_EQ(search.Problems()[1].detail, static_cast<std::uint32_t>(ENOMEM));
    }
}

TEST(FileSearch, MissingDirectoryIsRecorded)
{
    TempTree tree;
    FileSearch search;
    ASSERT_TRUE(search.SetExpression("x", false));
    EXPECT_TRUE(FindNames(search, tree.Path("gone/*.txt"), true).empty());
    ASSERT_EQ(search.Problems().size(), 1u);
    EXPECT_EQ(search.Problems()[0].fileName, tree.Path("gone"));
    EXPECT_EQ(search.Problems()[0].kind, 0u);
    EXPECT_EQ(search.Problems()[0].detail, static_cast<std::uint32_t>(ENOENT));
}

TEST(FileSearch, EngineLimitInOneFileIsRecordedAndOthersAreSearched)
{
    TempTree tree;
    tree.Write("a.txt", "1xyz");
    tree.Write("b.txt", std::string(4096, ' '));
    tree.Write("c.txt", "  xyz");
    FileSearch search;
    ASSERT_TRUE(search.SetExpression("(.+)+xyz", false));
    std::vector<GrepHit> hits = GrepHits(search, tree.Path("*.txt"));
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].file, tree.Path("a.txt"));
    EXPECT_EQ(hits[1].file, tree.Path("c.txt"));
    ASSERT_EQ(search.Problems().size(), 1u);
    EXPECT_EQ(search.Problems()[0].fileName, tree.Path("b.txt"));
    EXPECT_EQ(search.Problems()[0].kind, 2u);
}

TEST(FileSearch, AnswersSkipTheFileOrEndThePass)
{
    TempTree tree;
    tree.Write("a.txt", "x x x");
    tree.Write("b.txt", "x x");
    FileSearch search;
    ASSERT_TRUE(search.SetExpression("x", false));
    std::vector<std::string> seen;
    unsigned int count =
        search.Grep(tree.Path("*.txt"), false, rc::match_default, [&](const std::string& name, const FileMatch&) {
            seen.push_back(name);
            return SearchAnswer::SkipFile;
        });
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(seen, (std::vector<std::string>{tree.Path("a.txt"), tree.Path("b.txt")}));

    seen.clear();
    count = search.Grep(tree.Path("*.txt"), false, rc::match_default, [&](const std::string& name, const FileMatch&) {
        seen.push_back(name);
        return seen.size() == 2 ? SearchAnswer::Stop : SearchAnswer::Continue;
    });
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(seen.size(), 2u);
}

TEST(FileSearch, CallbackExceptionLeavesThePass)
{
    TempTree tree;
    tree.Write("a.txt", "x");
    tree.Write("b.txt", "x");
    FileSearch search;
    ASSERT_TRUE(search.SetExpression("x", false));
    // A runtime_error from a callback is not mistaken for the engine giving up.
    EXPECT_THROW(
        search.Grep(tree.Path("*.txt"), false, rc::match_default,
                    [](const std::string&, const FileMatch&) -> SearchAnswer { throw std::runtime_error("callback"); }),
        std::runtime_error);
    EXPECT_TRUE(search.Problems().empty());
    EXPECT_EQ(GrepHits(search, tree.Path("*.txt")).size(), 2u);
}

}  // namespace

namespace {

TEST(LiteralPrefix, Table)
{
    struct Row {
        const char* expression;
        const char* prefix;
    } rows[] = {
        {"needle", "needle"}, {"ne+dle", "n"}, {"needl?e", "need"},          {"abc{2}", "ab"}, {"a*", ""},
        {"foo|bar", ""},      {"(foo)", ""},   {"foo(bar)?", "foo"},         {"x.y", "x"},     {"<a href=", "<a href="},
        {"\\d+", ""},         {"[ab]c", ""},   {"key: value", "key: value"}, {"^abc", ""},     {"abc$", "abc"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(RegexClass::detail::LiteralPrefix(row.expression), row.prefix) << row.expression;
}

TEST(FileSearch, LiteralScanInEveryTraitsModel)
{
    struct Row {
        const char* expression;
        bool ignoreCase;
        const char* scan;
    } rows[] = {{"needle", false, "needle"}, {"old", false, "old"}, {"wxyd+", false, "wxy"}, {"wxd+", false, ""},
                {"x|y", false, ""},          {"needle", true, ""},  {"(a)a*", false, ""}};
    for (SearchTraits traits : {SearchTraits::Cpp, SearchTraits::Win32, SearchTraits::C}) {
        for (const Row& row : rows) {
            FileSearch search;
            search.SetTraits(traits);
            ASSERT_TRUE(search.SetExpression(row.expression, row.ignoreCase));
            EXPECT_EQ(search.LiteralScan(), row.scan) << row.expression << " traits " << static_cast<int>(traits);
        }
    }
}

// The scan that looks for a literal prefix first finds what the engine finds.
TEST(FileSearch, PrefixScanFindsWhatTheEngineFinds)
{
    TempTree tree;
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "nee neeedle-" + std::to_string(i) + " needle\nneedleneedle-x n\n";
    tree.Write("a.txt", text);
    tree.Write("b.txt", "needle-1needle-22");
    struct Pair {
        const char* withPrefix;
        const char* without;
    } pairs[] = {
        {"needle", "(?:needle)"}, {"ne+dle-[0-9]+", "(?:ne+dle-[0-9]+)"}, {"n", "[n]"}, {"needle\\b", "(?:needle)\\b"}};
    for (const Pair& pair : pairs) {
        FileSearch fast, plain;
        ASSERT_TRUE(fast.SetExpression(pair.withPrefix, false));
        ASSERT_TRUE(plain.SetExpression(pair.without, false));
        std::vector<GrepHit> a = GrepHits(fast, tree.Path("*.txt"));
        std::vector<GrepHit> b = GrepHits(plain, tree.Path("*.txt"));
        ASSERT_EQ(a.size(), b.size()) << pair.withPrefix;
        ASSERT_FALSE(a.empty());
        for (std::size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].file, b[i].file);
            EXPECT_EQ(a[i].positions[0], b[i].positions[0]) << pair.withPrefix << " #" << i;
            EXPECT_EQ(a[i].texts[0], b[i].texts[0]);
            EXPECT_EQ(a[i].line, b[i].line);
        }
        EXPECT_EQ(FindNames(fast, tree.Path("*.txt"), false), FindNames(plain, tree.Path("*.txt"), false));
    }
}

}  // namespace

namespace {

TEST(LineCounter, AgreesWithAPlainCountAtEveryOffset)
{
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += (i * 7919 % 13 < 3) ? '\n' : static_cast<char>('\x80' + i % 100);
    RegexClass::detail::LineCounter lines(text.data());
    for (std::size_t at = 0; at <= text.size(); at += 1 + at % 5) {
        unsigned int expected = 1 + static_cast<unsigned int>(std::count(text.begin(), text.begin() + at, '\n'));
        ASSERT_EQ(lines.LineAt(text.data() + at), expected) << at;
    }
}

}  // namespace
