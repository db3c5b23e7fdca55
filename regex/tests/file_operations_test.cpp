// FindFiles, GrepFiles and ChangeFiles on temporary trees: counts, callbacks,
// problem records, backups, and how a changed file is replaced.

#include <vantrel/RegularExpression.h>

#include "../src/FileOperations.h"
#include "../src/RegularExpressionImpl.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <functional>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A pattern that went wrong can walk nothing but an empty scratch directory.
const ::testing::Environment* const g_scratch =
    ::testing::AddGlobalTestEnvironment(new testsupport::ScratchDirectoryEnvironment);

using RegexClass::RegularExpression;
using RegexClass::REMatch;
using RegexClass::detail::ChangeStep;
using testsupport::TempTree;

// Removes the fault hook at the end of a test, whatever happens.
struct FaultHook {
    explicit FaultHook(RegexClass::detail::ChangeFaultHook hook)
    {
        RegexClass::detail::SetChangeFaultHook(std::move(hook));
    }
    ~FaultHook() { RegexClass::detail::SetChangeFaultHook(nullptr); }
};

// Fails every occurrence of one step with `error`.
FaultHook FailStep(ChangeStep failing, int error)
{
    return FaultHook([failing, error](ChangeStep step, const std::string&) { return step == failing ? error : 0; });
}

struct Report {
    std::string file;
    std::vector<REMatch> matches;
    unsigned int line;
};

RegularExpression MakeObject(const std::string& expression, const std::string& files)
{
    RegularExpression re;
    re.SetExpression(expression);
    re.SetFilesToMatch(files);
    return re;
}

struct stat StatOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

// Names in the tree's directory that a temporary file of ours would have.
std::vector<std::string> Leftovers(const TempTree& tree, const std::string& dir = std::string())
{
    std::vector<std::string> left;
    for (const std::string& name : tree.List(dir))
        if (name.compare(0, 5, "Regex") == 0)
            left.push_back(name);
    return left;
}

// ------------------------------------------------------------- find and grep

TEST(FileOperations, NothingToDoGivesZeroAndNoCallback)
{
    TempTree tree;
    tree.Write("a.txt", "abc");
    int calls = 0;
    struct Case {
        const char* expression;
        std::string files;
    } cases[] = {{"", tree.Path("*.txt")}, {"b", ""}, {"a(b", tree.Path("*.txt")}};
    for (const Case& c : cases) {
        RegularExpression re = MakeObject(c.expression, c.files);
        re.SetOnFindFilesClosure([&](RegularExpression*, std::string, bool&) { ++calls; });
        re.SetOnGreppingFilesClosure(
            [&](RegularExpression*, std::string, const std::vector<REMatch>&, unsigned int, bool&) { ++calls; });
        re.SetOnChangingFilesClosure(
            [&](RegularExpression*, std::string, const std::vector<REMatch>&, unsigned int, bool&) { ++calls; });
        re.SetFormatString("X");
        EXPECT_EQ(re.FindFiles(), 0u) << c.expression;
        EXPECT_EQ(re.GrepFiles(), 0u) << c.expression;
        EXPECT_EQ(re.ChangeFiles(), 0u) << c.expression;
        EXPECT_EQ(re.GetFindFilesErrors(), nullptr);
        EXPECT_EQ(re.GetGrepFilesErrors(), nullptr);
        EXPECT_EQ(re.GetChangeFilesErrors(), nullptr);
    }
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(tree.Read("a.txt"), "abc");
}

TEST(FileOperations, CountsWithAndWithoutCallbacks)
{
    TempTree tree;
    tree.Write("a.txt", "foo boo");
    tree.Write("b.txt", "text");
    tree.Write("sub/c.txt", "o\no");
    RegularExpression re = MakeObject("o", tree.Path("*.txt"));
    re.SetDirectoryRecursion(true);
    EXPECT_EQ(re.GrepFiles(), 6u);
    EXPECT_EQ(re.FindFiles(), 2u);

    std::vector<Report> reports;
    re.SetOnGreppingFilesClosure(
        [&](RegularExpression* self, std::string file, const std::vector<REMatch>& m, unsigned int line, bool&) {
            EXPECT_EQ(self, &re);
            reports.push_back(Report{file, m, line});
        });
    std::vector<std::string> found;
    re.SetOnFindFilesClosure([&](RegularExpression*, std::string file, bool&) { found.push_back(file); });
    EXPECT_EQ(re.GrepFiles(), 6u);
    EXPECT_EQ(re.FindFiles(), 2u);
    ASSERT_EQ(reports.size(), 6u);
    EXPECT_EQ(reports[0].file, tree.Path("a.txt"));
    ASSERT_EQ(reports[0].matches.size(), 1u);
    EXPECT_EQ(reports[0].matches[0].text, "o");
    EXPECT_EQ(reports[0].matches[0].position, 1);
    EXPECT_EQ(reports[5].file, tree.Path("sub/c.txt"));
    EXPECT_EQ(reports[5].matches[0].position, 2);
    EXPECT_EQ(reports[5].line, 2u);
    EXPECT_EQ(found, (std::vector<std::string>{tree.Path("a.txt"), tree.Path("sub/c.txt")}));
}

TEST(FileOperations, CallbackThatStopsEndsThePass)
{
    TempTree tree;
    tree.Write("a.txt", "xx");
    tree.Write("b.txt", "x");
    RegularExpression re = MakeObject("x", tree.Path("*.txt"));
    int calls = 0;
    re.SetOnGreppingFilesClosure([&](RegularExpression*, std::string, const std::vector<REMatch>&, unsigned int,
                                     bool& go) { go = ++calls < 1; });
    EXPECT_EQ(re.GrepFiles(), 1u);
    EXPECT_EQ(calls, 1);
    calls = 0;
    re.SetOnFindFilesClosure([&](RegularExpression*, std::string, bool& go) { go = ++calls < 1; });
    EXPECT_EQ(re.FindFiles(), 1u);
    EXPECT_EQ(calls, 1);
}

TEST(FileOperations, FilesAreSearchedWithTheDefaultSyntaxAndIgnoreCase)
{
    TempTree tree;
    tree.Write("a.txt", "AAA a+");
    RegularExpression re = MakeObject("a+", tree.Path("*.txt"));
    re.AddExpressionOption(RegularExpression::SyntaxBasic);  // '+' would be literal here
    std::vector<std::string> texts;
    re.SetOnGreppingFilesClosure([&](RegularExpression*, std::string, const std::vector<REMatch>& m, unsigned int,
                                     bool&) { texts.push_back(m[0].text); });
    EXPECT_EQ(re.GrepFiles(), 1u);
    EXPECT_EQ(texts, (std::vector<std::string>{"a"}));
    texts.clear();
    re.AddExpressionOption(RegularExpression::IgnoreCase);
    EXPECT_EQ(re.GrepFiles(), 2u);
    EXPECT_EQ(texts, (std::vector<std::string>{"AAA", "a"}));
}

TEST(FileOperations, ProblemListsBelongToTheirOperation)
{
    TempTree tree;
    tree.Link("a.txt", "missing");
    tree.Write("b.txt", "x");
    RegularExpression re = MakeObject("x", tree.Path("*.txt"));
    EXPECT_EQ(re.FindFiles(), 1u);
    ASSERT_NE(re.GetFindFilesErrors(), nullptr);
    EXPECT_EQ(re.GetGrepFilesErrors(), nullptr);
    const auto& find = *re.GetFindFilesErrors();
    ASSERT_EQ(find.size(), 1u);
    EXPECT_EQ(find[0].fileName, tree.Path("a.txt"));
    EXPECT_EQ(find[0].kind, 0u);
    EXPECT_EQ(find[0].detail, static_cast<std::uint32_t>(ENOENT));

    EXPECT_EQ(re.GrepFiles(), 1u);
    ASSERT_NE(re.GetGrepFilesErrors(), nullptr);
    tree.Remove("a.txt");
    EXPECT_EQ(re.FindFiles(), 1u);
    EXPECT_EQ(re.GetFindFilesErrors(), nullptr);
    EXPECT_NE(re.GetGrepFilesErrors(), nullptr);  // untouched by FindFiles
}

TEST(FileOperations, NestedOperationsOnOneThreadReachTheirOwnObjects)
{
    TempTree tree;
    tree.Write("a.txt", "x x");
    tree.Write("b.txt", "y");
    RegularExpression inner = MakeObject("y", tree.Path("*.txt"));
    std::vector<std::string> innerFound;
    inner.SetOnFindFilesClosure([&](RegularExpression* self, std::string file, bool&) {
        EXPECT_EQ(self, &inner);
        EXPECT_EQ(RegexClass::detail::ActiveObjectDepth(), 2u);
        innerFound.push_back(file);
    });
    RegularExpression outer = MakeObject("x", tree.Path("*.txt"));
    int outerCalls = 0;
    outer.SetOnGreppingFilesClosure(
        [&](RegularExpression* self, std::string, const std::vector<REMatch>&, unsigned int, bool&) {
            EXPECT_EQ(self, &outer);
            ++outerCalls;
            EXPECT_EQ(inner.FindFiles(), 1u);
        });
    EXPECT_EQ(outer.GrepFiles(), 2u);
    EXPECT_EQ(outerCalls, 2);
    EXPECT_EQ(innerFound.size(), 2u);
    EXPECT_EQ(RegexClass::detail::ActiveObjectDepth(), 0u);
}

TEST(FileOperations, ObjectsOnDifferentThreadsSearchAtOnce)
{
    TempTree tree;
    for (int i = 0; i < 20; ++i)
        tree.Write("f" + std::to_string(i) + ".txt", "a b a b a");
    auto run = [&](const char* expression, unsigned int* count, int* calls) {
        RegularExpression re = MakeObject(expression, tree.Path("*.txt"));
        re.SetOnGreppingFilesClosure(
            [&re, calls](RegularExpression* self, std::string, const std::vector<REMatch>&, unsigned int, bool&) {
                EXPECT_EQ(self, &re);
                ++*calls;
            });
        for (int round = 0; round < 5; ++round)
            *count += re.GrepFiles();
    };
    unsigned int countA = 0, countB = 0;
    int callsA = 0, callsB = 0;
    std::thread a(run, "a", &countA, &callsA);
    std::thread b(run, "b", &countB, &callsB);
    a.join();
    b.join();
    EXPECT_EQ(countA, 5u * 20 * 3);
    EXPECT_EQ(callsA, 5 * 20 * 3);
    EXPECT_EQ(countB, 5u * 20 * 2);
    EXPECT_EQ(callsB, 5 * 20 * 2);
}

// ---------------------------------------------------------------- ChangeFiles

TEST(ChangeFiles, WrapsEveryMatchAndCountsThem)
{
    TempTree tree;
    tree.Write("a.txt", "a1b22c333d");
    tree.Write("b.txt", "no digits");
    RegularExpression re = MakeObject("[0-9]+", tree.Path("*.txt"));
    re.SetFormatString("<$0>");
    re.SetFormatType(RegularExpression::FormatTypeSed);  // not applied to files
    const ino_t untouched = StatOf(tree.Path("b.txt")).st_ino;
    EXPECT_EQ(re.ChangeFiles(), 3u);
    EXPECT_EQ(tree.Read("a.txt"), "a<1>b<22>c<333>d");
    EXPECT_EQ(tree.Read("b.txt"), "no digits");
    EXPECT_EQ(StatOf(tree.Path("b.txt")).st_ino, untouched);
    EXPECT_EQ(re.GetChangeFilesErrors(), nullptr);
    EXPECT_TRUE(Leftovers(tree).empty());
}

TEST(ChangeFiles, KeepsBinaryBytesAndLargeFiles)
{
    TempTree tree;
    std::string big(300000, '\0');
    big.replace(100, 3, "abc");
    big.replace(250000, 3, "abc");
    tree.Write("big.bin", big);
    RegularExpression re = MakeObject("abc", tree.Path("*.bin"));
    re.SetFormatString("XY");
    EXPECT_EQ(re.ChangeFiles(), 2u);
    std::string expected = big;
    expected.replace(250000, 3, "XY");
    expected.replace(100, 3, "XY");
    EXPECT_EQ(tree.Read("big.bin"), expected);
}

TEST(ChangeFiles, IdentityReplacementLeavesTheFileAlone)
{
    TempTree tree;
    tree.Write("a.txt", "abc");
    const ino_t before = StatOf(tree.Path("a.txt")).st_ino;
    RegularExpression re = MakeObject("b", tree.Path("*.txt"));
    re.SetFormatString("$0");
    re.SetSaveExtension("bak");
    EXPECT_EQ(re.ChangeFiles(), 1u);
    EXPECT_EQ(StatOf(tree.Path("a.txt")).st_ino, before);
    EXPECT_FALSE(tree.Exists("a.bak"));
}

TEST(ChangeFiles, BackupsUnderTheSaveExtension)
{
    TempTree tree;
    tree.Write("report.txt", "old report");
    tree.Write("README", "old readme");
    tree.Write("a.c", "old c");
    tree.Write("a.txt", "old txt");
    tree.Write("X.BAK", "old backup");
    tree.Write("dir.v2/notes", "old notes");
    RegularExpression re = MakeObject("old", tree.Path("*"));
    re.SetDirectoryRecursion(true);
    re.SetFormatString("new");
    re.SetSaveExtension("bak");
    EXPECT_EQ(re.ChangeFiles(), 5u);
    EXPECT_EQ(tree.Read("report.txt"), "new report");
    EXPECT_EQ(tree.Read("report.bak"), "old report");
    EXPECT_EQ(tree.Read("README.bak"), "old readme");
    // a.c and a.txt share a.bak; a.txt comes later and wins.
    EXPECT_EQ(tree.Read("a.bak"), "old txt");
    EXPECT_EQ(tree.Read("a.c"), "new c");
    // Files with the save extension, in any case, are never changed.
    EXPECT_EQ(tree.Read("X.BAK"), "old backup");
    // A dot in a directory name is not the file's extension.
    EXPECT_EQ(tree.Read("dir.v2/notes.bak"), "old notes");
    EXPECT_FALSE(tree.Exists("dir.bak"));
    EXPECT_EQ(re.GetChangeFilesErrors(), nullptr);
    EXPECT_TRUE(Leftovers(tree).empty());
}

TEST(ChangeFiles, SaveExtensionRules)
{
    using RegexClass::detail::BackupName;
    using RegexClass::detail::HasSaveExtension;
    EXPECT_TRUE(HasSaveExtension("X.BAK", "bak"));
    EXPECT_TRUE(HasSaveExtension("d/x.Bak", "bAK"));
    EXPECT_FALSE(HasSaveExtension("x.bak2", "bak"));
    EXPECT_FALSE(HasSaveExtension("bak", "bak"));
    EXPECT_FALSE(HasSaveExtension("d.bak/x", "bak"));
    EXPECT_EQ(BackupName("report.txt", "bak"), "report.bak");
    EXPECT_EQ(BackupName("README", "bak"), "README.bak");
    EXPECT_EQ(BackupName("a.b/c", "bak"), "a.b/c.bak");
    EXPECT_EQ(BackupName("x.tar.gz", "bak"), "x.tar.bak");
}

TEST(ChangeFiles, ReadOnlyFilesAreLeftAloneWithoutProblem)
{
    TempTree tree;
    tree.Write("a.txt", "x", 0444);
    tree.Write("b.txt", "x");
    RegularExpression re = MakeObject("x", tree.Path("*.txt"));
    re.SetFormatString("y");
    EXPECT_EQ(re.ChangeFiles(), 1u);
    EXPECT_EQ(tree.Read("a.txt"), "x");
    EXPECT_EQ(tree.Read("b.txt"), "y");
    EXPECT_EQ(re.GetChangeFilesErrors(), nullptr);
}

// The attributes are read at a file's first match only: a file that turns
// read-only after it is still changed whole, and one that is read-only at
// its first match is passed over whole.
TEST(ChangeFiles, AttributesAreReadOncePerFile)
{
    TempTree tree;
    tree.Write("a.txt", "x.x.x");
    tree.Write("b.txt", "x.x", 0444);
    tree.Write("c.txt", "x");
    RegularExpression re = MakeObject("x", tree.Path("*.txt"));
    re.SetFormatString("y");
    std::vector<std::string> seen;
    re.SetOnChangingFilesClosure(
        [&](RegularExpression*, std::string file, const std::vector<REMatch>&, unsigned int, bool&) {
            seen.push_back(file);
            ::chmod(tree.Path("a.txt").c_str(), 0444);
        });
    EXPECT_EQ(re.ChangeFiles(), 4u);
    EXPECT_EQ(tree.Read("a.txt"), "y.y.y");
    EXPECT_EQ(tree.Read("b.txt"), "x.x");
    EXPECT_EQ(tree.Read("c.txt"), "y");
    EXPECT_EQ(
        seen,
        (std::vector<std::string>{tree.Path("a.txt"), tree.Path("a.txt"), tree.Path("a.txt"), tree.Path("c.txt")}));
}

TEST(ChangeFiles, KeepsModeAndOwner)
{
    TempTree tree;
    tree.Write("a.txt", "x", 0640);
    ASSERT_EQ(::chown(tree.Path("a.txt").c_str(), ::geteuid(), ::getegid()), 0);
    const struct stat before = StatOf(tree.Path("a.txt"));
    RegularExpression re = MakeObject("x", tree.Path("*.txt"));
    re.SetFormatString("y");
    EXPECT_EQ(re.ChangeFiles(), 1u);
    const struct stat after = StatOf(tree.Path("a.txt"));
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(tree.Read("a.txt"), "y");
}

TEST(ChangeFiles, SymbolicLinkStaysALinkAndItsTargetChanges)
{
    TempTree tree;
    tree.Write("real/target.dat", "x and x");
    tree.Link("links/a.txt", "../real/target.dat");
    RegularExpression re = MakeObject("x", tree.Path("*.txt"));
    re.SetDirectoryRecursion(true);  // the target lies inside the tree the pattern names
    re.SetFormatString("y");
    EXPECT_EQ(re.ChangeFiles(), 2u);
    EXPECT_TRUE(S_ISLNK(StatOf(tree.Path("links/a.txt")).st_mode));
    EXPECT_EQ(tree.Read("real/target.dat"), "y and y");
    EXPECT_TRUE(Leftovers(tree, "links").empty());
    EXPECT_TRUE(Leftovers(tree, "real").empty());
}

TEST(ChangeFiles, EachFileIsChangedOnceWhateverNamesReachIt)
{
    struct Case {
        const char* expression;
        const char* format;
        const char* before;
        const char* after;
    } cases[] = {
        {"\\`", "// header\n", "int x;\n", "// header\nint x;\n"},
        {"k+", "$0k", "k", "kk"},
    };
    // The link sorts before the file it names, then after it.
    struct Names {
        const char* file;
        const char* link;
    } layouts[] = {{"real.c", "alias.c"}, {"a.c", "b.c"}};
    for (const Case& c : cases) {
        for (const Names& names : layouts) {
            SCOPED_TRACE(std::string(c.expression) + " " + names.link);
            TempTree tree;
            tree.Write(std::string("d/") + names.file, c.before);
            tree.Link(std::string("d/") + names.link, names.file);
            RegularExpression re = MakeObject(c.expression, tree.Path("d/*.c"));
            re.SetFormatString(c.format);
            EXPECT_EQ(re.ChangeFiles(), 1u);
            EXPECT_EQ(tree.Read(std::string("d/") + names.file), c.after);
            EXPECT_TRUE(S_ISLNK(StatOf(tree.Path(std::string("d/") + names.link)).st_mode));
            ASSERT_NE(re.GetChangeFilesErrors(), nullptr);
            ASSERT_EQ(re.GetChangeFilesErrors()->size(), 1u);
            const auto& problem = re.GetChangeFilesErrors()->at(0);
            EXPECT_EQ(problem.kind, 6u);
            const char* later = std::string(names.file) < names.link ? names.link : names.file;
            EXPECT_EQ(problem.fileName, tree.Path(std::string("d/") + later));
            EXPECT_EQ(problem.errorCode, static_cast<std::uint32_t>(EEXIST));
            EXPECT_TRUE(Leftovers(tree, "d").empty());
        }
    }
}

TEST(ChangeFiles, LinksLeavingTheSearchedTreeAreNotFollowed)
{
    TempTree tree;
    tree.Write("outside/secret.txt", "x");
    tree.Write("tree/a.txt", "x");
    tree.Link("tree/relative.txt", "../outside/secret.txt");
    tree.Link("tree/sub/absolute.txt", tree.Path("outside/secret.txt"));
    RegularExpression re = MakeObject("x", tree.Path("tree/*.txt"));
    re.SetDirectoryRecursion(true);
    re.SetFormatString("y");
    EXPECT_EQ(re.GrepFiles(), 3u);  // reading may follow the links
    EXPECT_EQ(re.ChangeFiles(), 1u);
    EXPECT_EQ(tree.Read("tree/a.txt"), "y");
    EXPECT_EQ(tree.Read("outside/secret.txt"), "x");
    ASSERT_NE(re.GetChangeFilesErrors(), nullptr);
    std::vector<std::string> refused;
    for (const auto& problem : *re.GetChangeFilesErrors()) {
        EXPECT_EQ(problem.kind, 6u) << problem.fileName;
        EXPECT_EQ(problem.errorCode, static_cast<std::uint32_t>(EXDEV)) << problem.fileName;
        refused.push_back(problem.fileName);
    }
    EXPECT_EQ(refused, (std::vector<std::string>{tree.Path("tree/relative.txt"), tree.Path("tree/sub/absolute.txt")}));
    EXPECT_TRUE(Leftovers(tree, "outside").empty());

    // Named through a link, the tree is where the link leads.
    tree.Link("alias", "tree");
    tree.Write("tree/a.txt", "x");
    RegularExpression viaLink = MakeObject("x", tree.Path("alias/*.txt"));
    viaLink.SetFormatString("z");
    EXPECT_EQ(viaLink.ChangeFiles(), 1u);
    EXPECT_EQ(tree.Read("tree/a.txt"), "z");
}

TEST(ChangeFiles, HardLinkedFileIsRefused)
{
    TempTree tree;
    tree.Write("a.txt", "x");
    ASSERT_EQ(::link(tree.Path("a.txt").c_str(), tree.Path("other").c_str()), 0);
    RegularExpression re = MakeObject("x", tree.Path("*.txt"));
    re.SetFormatString("y");
    EXPECT_EQ(re.ChangeFiles(), 0u);
    EXPECT_EQ(tree.Read("a.txt"), "x");
    EXPECT_EQ(tree.Read("other"), "x");
    ASSERT_NE(re.GetChangeFilesErrors(), nullptr);
    const auto& problem = re.GetChangeFilesErrors()->at(0);
    EXPECT_EQ(problem.kind, 6u);
    EXPECT_EQ(problem.fileName, tree.Path("a.txt"));
    EXPECT_EQ(problem.errorCode, static_cast<std::uint32_t>(EMLINK));
}

TEST(ChangeFiles, FileChangedBeforeWritingGivesKind4)
{
    TempTree tree;
    tree.Write("a.txt", "..x..x");
    RegularExpression re = MakeObject("x", tree.Path("*.txt"));
    re.SetFormatString("y");
    int calls = 0;
    re.SetOnChangingFilesClosure(
        [&](RegularExpression*, std::string, const std::vector<REMatch>&, unsigned int, bool&) {
            if (++calls == 2)
                tree.Write("a.txt", "..x.x.");  // the second x moved
        });
    EXPECT_EQ(re.ChangeFiles(), 0u);
    EXPECT_EQ(tree.Read("a.txt"), "..x.x.");
    ASSERT_NE(re.GetChangeFilesErrors(), nullptr);
    ASSERT_EQ(re.GetChangeFilesErrors()->size(), 1u);
    const auto& problem = re.GetChangeFilesErrors()->at(0);
    EXPECT_EQ(problem.kind, 4u);
    EXPECT_EQ(problem.fileName, tree.Path("a.txt"));
    EXPECT_EQ(problem.position, 5u);
    EXPECT_EQ(problem.text, "x");
    EXPECT_EQ(problem.errorCode, 0u);
    EXPECT_TRUE(Leftovers(tree).empty());
}

TEST(ChangeFiles, TruncatedFileGivesKind2)
{
    TempTree tree;
    tree.Write("a.txt", "....x");
    RegularExpression re = MakeObject("x", tree.Path("*.txt"));
    re.SetFormatString("y");
    re.SetOnChangingFilesClosure([&](RegularExpression*, std::string, const std::vector<REMatch>&, unsigned int,
                                     bool&) { tree.Write("a.txt", ".."); });
    EXPECT_EQ(re.ChangeFiles(), 0u);
    EXPECT_EQ(tree.Read("a.txt"), "..");
    ASSERT_NE(re.GetChangeFilesErrors(), nullptr);
    EXPECT_EQ(re.GetChangeFilesErrors()->at(0).kind, 2u);
    EXPECT_EQ(re.GetChangeFilesErrors()->at(0).position, 2u);
}

TEST(ChangeFiles, ContinueFilesFalseStopsAfterAFileThatCannotBeOpened)
{
    TempTree tree;
    tree.Write("a.txt", "x");
    tree.Write("b.txt", "x");
    tree.Write("c.txt", "x");
    for (bool continueFiles : {false, true}) {
        tree.Write("a.txt", "x");
        tree.Write("b.txt", "x");
        tree.Write("c.txt", "x");
        RegularExpression re = MakeObject("x", tree.Path("*.txt"));
        re.SetFormatString("y");
        re.SetContinueFiles(continueFiles);
        re.SetOnChangingFilesClosure(
            [&](RegularExpression*, std::string file, const std::vector<REMatch>&, unsigned int, bool&) {
                if (file == tree.Path("a.txt"))
                    tree.Remove("a.txt");
            });
        EXPECT_EQ(re.ChangeFiles(), continueFiles ? 2u : 0u);
        ASSERT_NE(re.GetChangeFilesErrors(), nullptr);
        ASSERT_EQ(re.GetChangeFilesErrors()->size(), 1u);
        EXPECT_EQ(re.GetChangeFilesErrors()->at(0).kind, 0u);
        EXPECT_EQ(re.GetChangeFilesErrors()->at(0).fileName, tree.Path("a.txt"));
        EXPECT_EQ(re.GetChangeFilesErrors()->at(0).errorCode, static_cast<std::uint32_t>(ENOENT));
        EXPECT_EQ(tree.Read("b.txt"), continueFiles ? "y" : "x");
        EXPECT_EQ(tree.Read("c.txt"), continueFiles ? "y" : "x");
    }
}

TEST(ChangeFiles, CallbackThatStopsKeepsWhatWasCollected)
{
    TempTree tree;
    tree.Write("a.txt", "x1 x2 x3");
    tree.Write("b.txt", "x4");
    RegularExpression re = MakeObject("x[0-9]", tree.Path("*.txt"));
    re.SetFormatString("<$0>");
    std::vector<unsigned int> lines;
    re.SetOnChangingFilesClosure(
        [&](RegularExpression*, std::string, const std::vector<REMatch>& m, unsigned int line, bool& go) {
            lines.push_back(line);
            if (m[0].text == "x2")
                go = false;
        });
    EXPECT_EQ(re.ChangeFiles(), 1u);
    EXPECT_EQ(tree.Read("a.txt"), "<x1> x2 x3");
    EXPECT_EQ(tree.Read("b.txt"), "x4");
    EXPECT_EQ(lines.size(), 2u);
}

TEST(ChangeFiles, EachFileIsWrittenBeforeTheNextFilesFirstReport)
{
    TempTree tree;
    tree.Write("a.txt", "x x");
    tree.Write("b.txt", "x");
    RegularExpression re = MakeObject("x", tree.Path("*.txt"));
    re.SetFormatString("y");
    std::vector<std::string> seenA;
    re.SetOnChangingFilesClosure([&](RegularExpression*, std::string, const std::vector<REMatch>&, unsigned int,
                                     bool&) { seenA.push_back(tree.Read("a.txt")); });
    EXPECT_EQ(re.ChangeFiles(), 3u);
    EXPECT_EQ(seenA, (std::vector<std::string>{"x x", "x x", "y y"}));
}

TEST(ChangeFiles, ExpressionThatDoesNotCompileChangesNothing)
{
    TempTree tree;
    tree.Write("a.txt", "a(b");
    // Valid in the default syntax the files are searched with, not in the object's.
    RegularExpression re = MakeObject("a\\(b", tree.Path("*.txt"));
    re.AddExpressionOption(RegularExpression::SyntaxBasic);
    re.SetFormatString("X");
    int calls = 0;
    re.SetOnChangingFilesClosure(
        [&](RegularExpression*, std::string, const std::vector<REMatch>&, unsigned int, bool&) { ++calls; });
    EXPECT_EQ(re.GrepFiles(), 1u);
    EXPECT_EQ(re.ChangeFiles(), 0u);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(tree.Read("a.txt"), "a(b");
}

TEST(ChangeFiles, ReplacementUsesTheObjectsExpressionOnTheMatchedText)
{
    TempTree tree;
    tree.Write("a.txt", "key=aaa;");
    // Found with the default syntax; inside the match the object's own
    // expression (here with a group) makes the replacement.
    RegularExpression re = MakeObject("(a)a*", tree.Path("*.txt"));
    re.SetFormatString("[$1]");
    EXPECT_EQ(re.ChangeFiles(), 1u);
    EXPECT_EQ(tree.Read("a.txt"), "key=[a];");
}

TEST(ChangeFiles, ExceptionFromCallbackRestoresEverything)
{
    TempTree tree;
    tree.Write("a.txt", "x");
    tree.Write("b.txt", "x x");
    RegularExpression re = MakeObject("x", tree.Path("*.txt"));
    re.SetFormatString("y");
    int calls = 0;
    re.SetOnChangingFilesClosure(
        [&](RegularExpression*, std::string, const std::vector<REMatch>&, unsigned int, bool&) {
            if (++calls == 3)
                throw std::runtime_error("stop here");
        });
    EXPECT_THROW(re.ChangeFiles(), std::runtime_error);
    EXPECT_EQ(tree.Read("a.txt"), "y");    // written before b's first report
    EXPECT_EQ(tree.Read("b.txt"), "x x");  // interrupted: not written
    EXPECT_TRUE(Leftovers(tree).empty());
    EXPECT_EQ(RegexClass::detail::ActiveObjectDepth(), 0u);
    const RegexClass::RegularExpressionImpl& d = re.Impl();
    EXPECT_FALSE(d.busy);
    EXPECT_TRUE(d.cppSnapshots.empty());
    EXPECT_TRUE(d.currentChangeFile.empty());
    EXPECT_TRUE(d.pendingChanges.empty());
    re.SetLocaleModel(RegularExpression::LocaleC);  // not ignored: busy is clear
    EXPECT_EQ(re.GetLocaleModel(), RegularExpression::LocaleC);
}

TEST(ChangeFiles, BusyOnlyDuringThePass)
{
    TempTree tree;
    tree.Write("a.txt", "x");
    RegularExpression re = MakeObject("x", tree.Path("*.txt"));
    re.SetFormatString("y");
    re.SetOnChangingFilesClosure(
        [&](RegularExpression* self, std::string, const std::vector<REMatch>&, unsigned int, bool&) {
            self->SetLocaleModel(RegularExpression::LocaleC);  // ignored while busy
            EXPECT_EQ(self->Impl().cppSnapshots.size(), 1u);
        });
    EXPECT_EQ(re.ChangeFiles(), 1u);
    EXPECT_EQ(re.GetLocaleModel(), RegularExpression::LocaleCpp);
    EXPECT_TRUE(re.Impl().cppSnapshots.empty());
}

// ------------------------------------------------------- injected failures

struct FaultCase {
    ChangeStep step;
    std::uint32_t kind;
    bool backup;
};

TEST(ChangeFiles, FailureBeforeTheRenameLeavesTheOriginalIntact)
{
    const FaultCase cases[] = {
        {ChangeStep::WriteTemporary, 3, false},
        {ChangeStep::RestoreAttributes, 7, false},
        {ChangeStep::Backup, 5, true},
        {ChangeStep::Replace, 6, true},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.step));
        TempTree tree;
        tree.Write("a.txt", "x and x", 0640);
        const ino_t before = StatOf(tree.Path("a.txt")).st_ino;
        FaultHook hook = FailStep(c.step, ENOSPC);
        RegularExpression re = MakeObject("x", tree.Path("*.txt"));
        re.SetFormatString("y");
        if (c.backup)
            re.SetSaveExtension("bak");
        EXPECT_EQ(re.ChangeFiles(), 0u);
        EXPECT_EQ(tree.Read("a.txt"), "x and x");
        EXPECT_EQ(StatOf(tree.Path("a.txt")).st_ino, before);
        ASSERT_NE(re.GetChangeFilesErrors(), nullptr);
        ASSERT_EQ(re.GetChangeFilesErrors()->size(), 1u);
        const auto& problem = re.GetChangeFilesErrors()->at(0);
        EXPECT_EQ(problem.kind, c.kind);
        EXPECT_EQ(problem.errorCode, static_cast<std::uint32_t>(ENOSPC));
        std::string expectedName = tree.Path("a.txt");
        if (c.kind == 3)
            expectedName = problem.fileName.compare(0, tree.Path("Regex").size(), tree.Path("Regex")) == 0
                ? problem.fileName
                : "a temporary file beside a.txt";
        if (c.kind == 5)
            expectedName = tree.Path("a.bak");
        EXPECT_EQ(problem.fileName, expectedName);
        // A failure at the very last step comes after a complete backup.
        if (c.step == ChangeStep::Replace) {
            EXPECT_EQ(tree.Read("a.bak"), "x and x");
        } else {
            EXPECT_FALSE(tree.Exists("a.bak"));
        }
        EXPECT_TRUE(Leftovers(tree).empty());
    }
}

TEST(ChangeFiles, NoTemporaryFileGivesKind1ForEachFile)
{
    for (bool continueFiles : {true, false}) {
        TempTree tree;
        tree.Write("a.txt", "x");
        tree.Write("b.txt", "x");
        FaultHook hook([](ChangeStep step, const std::string&) {
            return step == ChangeStep::CreateTemporaryBeside || step == ChangeStep::CreateTemporary ? EACCES : 0;
        });
        RegularExpression re = MakeObject("x", tree.Path("*.txt"));
        re.SetFormatString("y");
        re.SetContinueFiles(continueFiles);
        EXPECT_EQ(re.ChangeFiles(), 0u);
        ASSERT_NE(re.GetChangeFilesErrors(), nullptr);
        EXPECT_EQ(re.GetChangeFilesErrors()->size(), continueFiles ? 2u : 1u);
        for (const auto& problem : *re.GetChangeFilesErrors()) {
            EXPECT_EQ(problem.kind, 1u);
            EXPECT_EQ(problem.fileName, "NoName");
            EXPECT_EQ(problem.errorCode, static_cast<std::uint32_t>(EACCES));
        }
        EXPECT_EQ(tree.Read("a.txt"), "x");
        EXPECT_EQ(tree.Read("b.txt"), "x");
    }
}

TEST(ChangeFiles, FallsBackToWritingOverTheOriginal)
{
    TempTree tree;
    tree.Write("a.txt", "x-x", 0604);
    const ino_t before = StatOf(tree.Path("a.txt")).st_ino;
    FaultHook hook = FailStep(ChangeStep::CreateTemporaryBeside, EACCES);
    RegularExpression re = MakeObject("x", tree.Path("*.txt"));
    re.SetFormatString("yy");
    EXPECT_EQ(re.ChangeFiles(), 2u);
    EXPECT_EQ(tree.Read("a.txt"), "yy-yy");
    EXPECT_EQ(StatOf(tree.Path("a.txt")).st_mode & 07777, 0604u);
    EXPECT_EQ(StatOf(tree.Path("a.txt")).st_ino, before);  // written over, not replaced
    EXPECT_EQ(re.GetChangeFilesErrors(), nullptr);
    EXPECT_TRUE(Leftovers(tree).empty());
}

// Runs `work` in a child process without root's privileges (as nobody when
// the tests run as root) and returns what it wrote, or "" with `skipped` set
// when no such process can be made.
std::string RunUnprivileged(const std::function<std::string()>& work, bool& skipped)
{
    skipped = false;
    int channel[2];
    if (::pipe(channel) != 0)
        return "pipe failed";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            if (!nobody || ::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
                ::setuid(nobody->pw_uid) != 0)
                ::_exit(77);
        }
        const std::string result = work();
        ssize_t written = ::write(channel[1], result.data(), result.size());
        ::_exit(written == static_cast<ssize_t>(result.size()) ? 0 : 1);
    }
    ::close(channel[1]);
    std::string result;
    char chunk[256];
    for (ssize_t n; (n = ::read(channel[0], chunk, sizeof chunk)) > 0;)
        result.append(chunk, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return "no child";
    skipped = WIFEXITED(status) && WEXITSTATUS(status) == 77;
    return result;
}

// The result of ChangeFiles as text: the count, then kind and error code of each problem.
std::string ChangeSummary(RegularExpression& re)
{
    std::string summary = std::to_string(re.ChangeFiles());
    if (const auto* problems = re.GetChangeFilesErrors()) {
        for (const auto& problem : *problems)
            summary += " " + std::to_string(problem.kind) + ":" + std::to_string(problem.errorCode);
    }
    return summary;
}

TEST(ChangeFiles, WritableFileInAnUnwritableDirectoryIsWrittenOverWhateverTmpdir)
{
    struct Case {
        const char* saveExtension;
        bool backupExists;
        std::string summary;
        const char* content;
    } cases[] = {
        {"", false, "2", "yy-yy"},
        {"bak", true, "2", "yy-yy"},                             // the backup is written over too
        {"bak", false, "0 5:" + std::to_string(EACCES), "x-x"},  // no backup, no change
    };
    const passwd* nobody = ::getpwnam("nobody");
    for (const char* tmpdir : {"/nonexistent-directory", "/dev/shm", "."}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(tmpdir) + " " + c.saveExtension + (c.backupExists ? " with backup" : ""));
            TempTree tree;
            ASSERT_EQ(::chmod(tree.Root().c_str(), 0755), 0);
            tree.Write("ro/a.txt", "x-x", 0640);
            if (c.backupExists)
                tree.Write("ro/a.bak", "older", 0600);
            if (::geteuid() == 0) {
                ASSERT_NE(nobody, nullptr);
                for (const char* name : {"ro/a.txt", "ro/a.bak"}) {
                    if (tree.Exists(name)) {
                        ASSERT_EQ(::chown(tree.Path(name).c_str(), nobody->pw_uid, nobody->pw_gid), 0);
                    }
                }
            }
            ASSERT_EQ(::chmod(tree.Path("ro").c_str(), 0555), 0);
            const ino_t before = StatOf(tree.Path("ro/a.txt")).st_ino;

            bool skipped = false;
            const std::string summary = RunUnprivileged(
                [&] {
                    ::setenv("TMPDIR", tmpdir, 1);
                    RegularExpression re = MakeObject("x", tree.Path("ro/*.txt"));
                    re.SetFormatString("yy");
                    re.SetSaveExtension(c.saveExtension);
                    return ChangeSummary(re);
                },
                skipped);
            ASSERT_EQ(::chmod(tree.Path("ro").c_str(), 0755), 0);
            if (skipped)
                GTEST_SKIP() << "cannot run a process without privileges";
            EXPECT_EQ(summary, c.summary);
            EXPECT_EQ(tree.Read("ro/a.txt"), c.content);
            EXPECT_EQ(StatOf(tree.Path("ro/a.txt")).st_ino, before);
            EXPECT_EQ(StatOf(tree.Path("ro/a.txt")).st_mode & 07777, 0640u);
            if (c.backupExists) {
                EXPECT_EQ(tree.Read("ro/a.bak"), "x-x");
                EXPECT_EQ(StatOf(tree.Path("ro/a.bak")).st_mode & 07777, 0640u);
            } else {
                EXPECT_FALSE(tree.Exists("ro/a.bak"));
            }
            EXPECT_TRUE(Leftovers(tree, "ro").empty());
        }
    }
}

TEST(ChangeFiles, BackupGetsTheOriginalsOwnerAndMode)
{
    TempTree tree;
    tree.Write("a.txt", "x", 0604);
    // As root, a file of someone else's: the backup must not end up root's.
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() == 0 && nobody) {
        ASSERT_EQ(::chown(tree.Path("a.txt").c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    }
    const struct stat original = StatOf(tree.Path("a.txt"));
    RegularExpression re = MakeObject("x", tree.Path("*.txt"));
    re.SetFormatString("y");
    re.SetSaveExtension("bak");
    EXPECT_EQ(re.ChangeFiles(), 1u);
    EXPECT_EQ(tree.Read("a.bak"), "x");
    for (const char* name : {"a.txt", "a.bak"}) {
        const struct stat st = StatOf(tree.Path(name));
        EXPECT_EQ(st.st_uid, original.st_uid) << name;
        EXPECT_EQ(st.st_gid, original.st_gid) << name;
        EXPECT_EQ(st.st_mode & 07777, 0604u) << name;
    }
}

}  // namespace
