// The file-system layer's contract, as the walk and the rewrite rely on it.

#include "../src/FileSystem.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace os = RegexClass::detail::os;
using testsupport::TempTree;

os::FileStatus StatusOf(const std::string& path, bool followLinks)
{
    os::FileStatus status;
    EXPECT_EQ(os::GetStatus(path, followLinks, status), 0) << path;
    return status;
}

TEST(FileSystem, IsInsideComparesWholeComponents)
{
    struct Row {
        const char* path;
        const char* directory;
        bool inside;
    } rows[] = {
        {"/a/b", "/a/b", true}, {"/a/b/c", "/a/b", true}, {"/a/bc", "/a/b", false},
        {"/a", "/a/b", false},  {"/x/y", "/", true},      {"/a/b/c", "/a/b/", true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(os::IsInside(row.path, row.directory), row.inside) << row.path << " in " << row.directory;
}

TEST(FileSystem, EveryNameOfAFileHasItsIdentity)
{
    TempTree tree;
    tree.Write("file", "x");
    tree.Link("symbolic", "file");
    ASSERT_EQ(::link(tree.Path("file").c_str(), tree.Path("hard").c_str()), 0);
    tree.Write("other", "x");
    const os::FileStatus file = StatusOf(tree.Path("file"), true);
    EXPECT_EQ(file.type, os::FileType::Regular);
    EXPECT_EQ(file.links, 2u);
    EXPECT_TRUE(StatusOf(tree.Path("symbolic"), true).id == file.id);
    EXPECT_TRUE(StatusOf(tree.Path("hard"), true).id == file.id);
    EXPECT_FALSE(StatusOf(tree.Path("other"), true).id == file.id);
    EXPECT_EQ(StatusOf(tree.Path("symbolic"), false).type, os::FileType::SymbolicLink);
    os::FileStatus missing;
    EXPECT_EQ(os::GetStatus(tree.Path("none"), true, missing), ENOENT);
}

TEST(FileSystem, ListingTellsWhyADirectoryWasNotListed)
{
    TempTree tree;
    tree.Write("dir/a", "x");
    tree.MakeDirectory("dir/sub");
    tree.Link("link", "dir");
    std::vector<os::DirectoryEntry> entries;
    int error = 0;
    ASSERT_EQ(os::ListDirectory(tree.Path("dir"), true, entries, error), os::Listing::Complete);
    ASSERT_EQ(entries.size(), 2u);
    for (const os::DirectoryEntry& entry : entries)
        EXPECT_EQ(entry.type, entry.name == "a" ? os::FileType::Regular : os::FileType::Directory) << entry.name;
    EXPECT_EQ(os::ListDirectory(tree.Path("link"), false, entries, error), os::Listing::Complete);
    EXPECT_EQ(os::ListDirectory(tree.Path("link"), true, entries, error), os::Listing::NotADirectory);
    EXPECT_EQ(os::ListDirectory(tree.Path("none"), false, entries, error), os::Listing::CannotOpen);
    EXPECT_EQ(error, ENOENT);
}

TEST(FileSystem, ReplaceTakesThePlaceAndOverwriteKeepsTheFile)
{
    TempTree tree;
    tree.Write("target", "old content");
    os::File file;
    std::string name;
    ASSERT_EQ(os::CreateTemporaryIn(tree.Root(), file, name), 0);
    EXPECT_EQ(name.compare(0, tree.Path("Regex").size(), tree.Path("Regex")), 0) << name;
    std::size_t written = 0;
    ASSERT_EQ(os::Write(file, "new", 3, written), 0);
    EXPECT_EQ(written, 3u);
    ASSERT_EQ(os::FlushToDisk(file), 0);
    file.Close();
    ASSERT_EQ(os::ReplaceFile(name, tree.Path("target")), 0);
    EXPECT_EQ(tree.Read("target"), "new");
    EXPECT_EQ(tree.List(), (std::vector<std::string>{"target"}));

    const os::FileId before = StatusOf(tree.Path("target"), true).id;
    ASSERT_EQ(os::OverwriteFile(tree.Path("target"), "ab", 2, nullptr), 0);
    EXPECT_EQ(tree.Read("target"), "ab");
    EXPECT_TRUE(StatusOf(tree.Path("target"), true).id == before);
    EXPECT_EQ(os::OverwriteFile(tree.Path("none"), "ab", 2, nullptr), ENOENT);
    EXPECT_FALSE(tree.Exists("none"));
}

}  // namespace
