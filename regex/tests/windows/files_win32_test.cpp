// The file operations over the Win32 file-system layer: the FindFirstFileA
// walk, FILE_ATTRIBUTE_READONLY, and a rewrite that leaves the original
// intact whenever it cannot replace it.

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>

#include "vantrel/RegularExpression.h"

#include "FileRewrite.h"
#include "PeWriter.h"

using RE = RegexClass::RegularExpression;
using namespace RegexClass::detail;

namespace {

void WriteFile(const std::string& path, const std::string& content)
{
    CreateDirectoryA(path.substr(0, path.find_last_of("\\/")).c_str(), nullptr);
    std::ofstream(path, std::ios::binary) << content;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Names in a directory that start with the temporary files' prefix.
int TemporaryFilesIn(const std::string& dir)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\Regex*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        ++count;
    while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

std::vector<std::string> FoundFiles(const std::string& pattern, bool recurse)
{
    RE re;
    re.SetExpression("x");
    re.SetFilesToMatch(pattern);
    re.SetDirectoryRecursion(recurse);
    std::vector<std::string> names;
    re.SetOnFindFilesClosure([&names](RE*, std::string name, bool&) { names.push_back(name); });
    re.FindFiles();
    return names;
}

// Changes "x" to "y" in the files of `pattern`.
unsigned int ChangeXToY(const std::string& pattern, RE& re)
{
    re.SetExpression("x");
    re.SetFormatString("y");
    re.SetFilesToMatch(pattern);
    return re.ChangeFiles();
}

class FaultAt {
public:
    FaultAt(ChangeStep step, int error)
    {
        SetChangeFaultHook([step, error](ChangeStep s, const std::string&) { return s == step ? error : 0; });
    }
    ~FaultAt() { SetChangeFaultHook(nullptr); }
};

}  // namespace

TEST(FilesOnWindows, WalkListsMatchingFilesByNameThenSubdirectories)
{
    petest::ScratchDirectory dir;
    // Byte order puts capitals first; names differing in case only would be one file here.
    for (const char* name :
         {"b.txt", "a.txt", "C.txt", "ab.txt", "a.doc", "sub\\c.txt", "sub\\deeper\\d.txt", "a1\\e.txt"})
        WriteFile(dir.file(name), "x");
    const std::string d = dir.path() + "\\";
    struct Row {
        std::string pattern;
        bool recurse;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {d + "*.txt", false, {d + "C.txt", d + "a.txt", d + "ab.txt", d + "b.txt"}},
        {d + "?.txt", false, {d + "C.txt", d + "a.txt", d + "b.txt"}},
        {d + "a*", false, {d + "a.doc", d + "a.txt", d + "ab.txt"}},
        {d + "*.txt",
         true,
         {d + "C.txt", d + "a.txt", d + "ab.txt", d + "b.txt", d + "a1\\e.txt", d + "sub\\c.txt",
          d + "sub\\deeper\\d.txt"}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FoundFiles(row.pattern, row.recurse), row.expected) << row.pattern << " recurse " << row.recurse;
}

TEST(FilesOnWindows, ReadOnlyFilesStayUnchanged)
{
    petest::ScratchDirectory dir;
    const std::string path = dir.file("locked.txt");
    WriteFile(path, "x x");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    RE re;
    EXPECT_EQ(ChangeXToY(path, re), 0u);
    EXPECT_EQ(re.GetChangeFilesErrors(), nullptr);
    EXPECT_EQ(ReadFile(path), "x x");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The replacement keeps the original's attributes, and no temporary file stays.
TEST(FilesOnWindows, ChangedFileKeepsItsAttributes)
{
    petest::ScratchDirectory dir;
    const std::string path = dir.file("hidden.txt");
    WriteFile(path, "axbx");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    RE re;
    EXPECT_EQ(ChangeXToY(path, re), 2u);
    const auto* problems = re.GetChangeFilesErrors();
    EXPECT_EQ(problems, nullptr) << "kind " << problems->at(0).kind << ", error " << problems->at(0).errorCode;
    EXPECT_EQ(ReadFile(path), "ayby");
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(TemporaryFilesIn(dir.path()), 0);
}

TEST(FilesOnWindows, FailureBeforeTheReplaceLeavesTheOriginalIntact)
{
    petest::ScratchDirectory dir;
    const std::string path = dir.file("a.txt");
    WriteFile(path, "x");
    FaultAt fault(ChangeStep::Replace, ERROR_ACCESS_DENIED);
    RE re;
    EXPECT_EQ(ChangeXToY(path, re), 0u);
    const auto* problems = re.GetChangeFilesErrors();
    ASSERT_NE(problems, nullptr);
    ASSERT_EQ(problems->size(), 1u);
    EXPECT_EQ(problems->at(0).kind, 6u);
    EXPECT_EQ(problems->at(0).errorCode, static_cast<std::uint32_t>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ReadFile(path), "x");
    EXPECT_EQ(TemporaryFilesIn(dir.path()), 0);
}

// A file that another handle holds: a writer that shares nothing keeps it
// from being read again (kind 0); a reader that does not share deletion
// keeps it from being replaced (kind 6). Either way it stays as it was, and
// the error code is the sharing violation that GetLastError gave.
TEST(FilesOnWindows, FileHeldByAnotherHandleGetsAProblemAndStaysIntact)
{
    struct Row {
        DWORD access;
        DWORD share;
        std::uint32_t kind;
    };
    for (const Row& row : {Row{GENERIC_WRITE, 0, 0}, Row{GENERIC_READ, FILE_SHARE_READ, 6}}) {
        petest::ScratchDirectory dir;
        const std::string path = dir.file("held.txt");
        WriteFile(path, "x");
        HANDLE held = CreateFileA(path.c_str(), row.access, row.share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        RE re;
        EXPECT_EQ(ChangeXToY(path, re), 0u);
        CloseHandle(held);
        const auto* problems = re.GetChangeFilesErrors();
        ASSERT_NE(problems, nullptr) << "kind " << row.kind;
        ASSERT_EQ(problems->size(), 1u);
        EXPECT_EQ(problems->at(0).kind, row.kind);
        EXPECT_EQ(problems->at(0).errorCode, static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(ReadFile(path), "x");
        EXPECT_EQ(TemporaryFilesIn(dir.path()), 0);
    }
}
