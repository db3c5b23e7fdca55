// The file-search layer: walk order, names, what is visited, match details
// and problem records.

#include "../src/FileSearch.h"
#include "../src/FileSearchEngine.h"
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
    if (bNarrow) {
        ASSERT_EQ(truncate(tree.Path("max.bin").c_str(), 0xFFFFFFFFLL), 0);
    }
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
    // "xyz" where it cannot match: a file without it never reaches the engine.
    tree.Write("b.txt", "xyz" + std::string(4096, ' '));
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

// The text search that the prefix and required-text scans share, against a
// plain one, for needles that end at every offset around the block size.
TEST(FindText, AgreesWithAPlainSearchAtEveryOffset)
{
    for (const std::string needle : {"ab", "abc", "dle-", "aaaa", "x-y-z-0123456789"}) {
        for (std::size_t length = 0; length < 70; ++length) {
            for (std::size_t at = 0; at + needle.size() <= length; ++at) {
                // Near misses (first and last byte in place) all around the one hit.
                std::string text(length, needle[0]);
                for (std::size_t i = needle.size() - 1; i < length; i += 3)
                    text[i] = needle.back();
                text.replace(at, needle.size(), needle);
                const char* first = text.data();
                const char* last = first + text.size();
                for (std::size_t from = 0; from <= length; from += 7) {
                    const std::size_t expected = text.find(needle, from);
                    const char* found = RegexClass::detail::FindText(needle, first + from, last);
                    EXPECT_EQ(found ? static_cast<std::size_t>(found - first) : std::string::npos, expected)
                        << needle << " length " << length << " at " << at << " from " << from;
                }
            }
        }
    }
}

// What the layer requires of a file or line before running the engine, as
// the traits compile the expression.
TEST(FileSearch, RequiredTextInEveryTraitsModel)
{
    struct Row {
        const char* expression;
        bool ignoreCase;
        std::vector<std::string> literals;
        bool withinLine;
    } rows[] = {{"[0-9]{4}-[0-9]{2}-[0-9]{2}", false, {"-"}, true},
                {"[A-Z][a-z]+ing\\b", false, {"ing"}, true},
                {"ne+dle-[0-9]+", false, {"dle-"}, true},
                {"NE+DLE", true, {"dle"}, true},
                {"a.*b-c", false, {"b-c"}, false},
                {"needle", false, {}, false},  // the prefix scan serves it
                {"\\w+", false, {}, false}};
    for (SearchTraits traits : {SearchTraits::Cpp, SearchTraits::Win32, SearchTraits::C}) {
        for (const Row& row : rows) {
            FileSearch search;
            search.SetTraits(traits);
            ASSERT_TRUE(search.SetExpression(row.expression, row.ignoreCase));
            EXPECT_EQ(search.Required().literals, row.literals)
                << row.expression << " traits " << static_cast<int>(traits);
            EXPECT_EQ(search.Required().withinLine, row.withinLine) << row.expression;
        }
    }
}

struct Hit {
    std::vector<std::uint32_t> positions;
    unsigned int line;
    bool operator==(const Hit& o) const { return positions == o.positions && line == o.line; }
};

// The engine's own grep over the whole subject, lines counted by hand.
std::vector<Hit> EngineGrep(const std::string& expression, bool icase, const std::string& subject,
                            rc::match_flag_type flags)
{
    std::vector<Hit> hits;
    boost::regex re(expression, icase ? rc::perl | rc::icase : rc::perl);
    const char* first = subject.data();
    boost::regex_grep(
        [&](const boost::match_results<const char*>& m) {
            Hit hit{{}, 1u + static_cast<unsigned>(std::count(first, m[0].first, '\n'))};
            for (int i = 0; i < static_cast<int>(m.size()); ++i)
                hit.positions.push_back(m[i].matched ? static_cast<std::uint32_t>(m[i].first - first) : 0xFFFFFFFFu);
            hits.push_back(hit);
            return true;
        },
        first, first + subject.size(), re, flags);
    return hits;
}

std::vector<Hit> LayerGrep(FileSearch& search, const std::string& subject, rc::match_flag_type flags)
{
    std::vector<Hit> hits;
    search.GrepBytes("s", subject.data(), subject.data() + subject.size(), flags,
                     [&](const std::string&, const FileMatch& m) {
                         Hit hit{{}, m.Line()};
                         for (std::size_t i = 0; i < m.Marks(); ++i)
                             hit.positions.push_back(m.Position(i));
                         hits.push_back(hit);
                         return SearchAnswer::Continue;
                     });
    return hits;
}

// Passing over files and lines never changes what is found: assertions at
// line ends, matches next to each other, groups that took no part, case.
TEST(FileSearch, RequiredTextScanFindsWhatTheEngineFinds)
{
    const char* const subjects[] = {
        "on 2024-01-05\n1999-12-31 and 12-34-56\n--\n2000-01-01",
        "Walking home. Reading\nKing singing Swing-ing\nRINGING\nBring",
        "needle-1neeedle-22 ndle-3\nnedle-\nne\ndle-4 needle-5",
        "key\nkey\nakey key\n\nkey",
        "ab ab\nabab\nba ab",
        "x-y\r\nx-y\n-\n-x-",
    };
    // Files beyond the sample that decides between a scan per line and one
    // engine pass: the literals in every line, and in few lines.
    std::string dense, sparse;
    for (int i = 0; i < 300; ++i) {
        dense += "key ab 2024-01-05 x-y Walking needle-" + std::to_string(i) + "\n";
        sparse += i % 50 ? "nothing to see here at all\n" : "akey Reading 1999-12-31 ab ab x-y-\n";
    }
    struct Row {
        const char* expression;
        bool icase;
    } rows[] = {{"[0-9]{4}-[0-9]{2}-[0-9]{2}", false},
                {"[A-Z][a-z]+ing\\b", false},
                {"ne+dle-[0-9]+", false},
                {"ne+dle-[0-9]*|key", false},
                {"^key$", false},
                {"\\bkey\\b", false},
                {"(?<=a)key", false},
                {"key(?=\\n)", false},
                {"key\\Z", false},
                {"\\Gkey", false},
                {"\\Akey", false},
                {"key\\z", false},
                {"(a)?b(a)?", false},
                {"(ab) \\1", false},
                {"[^\\n]*ab", false},
                {"[^x]*-", false},
                {"x.-", false},
                {"-$", false},
                {"^-", false},
                {"ING\\b", true},
                {"[a-z]+ING", true}};
    const rc::match_flag_type flagSets[] = {rc::match_default, rc::match_not_bol | rc::match_not_eol,
                                            rc::match_not_bow | rc::match_not_eow, rc::match_single_line,
                                            rc::match_any};
    int prefiltered = 0;
    for (const Row& row : rows) {
        FileSearch search;
        ASSERT_TRUE(search.SetExpression(row.expression, row.icase)) << row.expression;
        prefiltered += !search.Required().literals.empty();
        std::vector<std::string> all(std::begin(subjects), std::end(subjects));
        all.push_back(dense);
        all.push_back(sparse);
        for (const std::string& subject : all)
            for (rc::match_flag_type flags : flagSets)
                EXPECT_EQ(LayerGrep(search, subject, flags), EngineGrep(row.expression, row.icase, subject, flags))
                    << row.expression << " in \"" << subject.substr(0, 80) << "\" flags " << flags;
    }
    EXPECT_GE(prefiltered, 17);
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
        unsigned int expected = 1 +
            static_cast<unsigned int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
        ASSERT_EQ(lines.LineAt(text.data() + at), expected) << at;
    }
}

}  // namespace
