#pragma once

// A temporary directory tree for tests: made under $TMPDIR (or /tmp) with a
// unique name, filled with files by relative path, removed with everything
// in it when the object goes.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The tree's root, without a trailing slash.
    const std::string& Root() const { return m_root; }
    // Root() + "/" + relative.
    std::string Path(const std::string& relative) const;

    // Writes a file (creating its directories), replacing one of that name.
    void Write(const std::string& relative, const std::string& content, mode_t mode = 0644) const;
    // The content of a file; throws std::runtime_error when it cannot be read.
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    void MakeDirectory(const std::string& relative) const;
    // A symbolic link at `relative` pointing to `target` (taken as given).
    void Link(const std::string& relative, const std::string& target) const;
    void Remove(const std::string& relative) const;
    // The names in a directory of the tree, sorted ("." and ".." left out).
    std::vector<std::string> List(const std::string& relative = std::string()) const;

private:
    std::string m_root;
};

// Makes the current directory `dir` for a scope and goes back afterwards.
class ScopedDirectory {
public:
    explicit ScopedDirectory(const std::string& dir);
    ~ScopedDirectory();
    ScopedDirectory(const ScopedDirectory&) = delete;
    ScopedDirectory& operator=(const ScopedDirectory&) = delete;

private:
    std::string m_previous;
};

// Runs a whole test program with an empty scratch directory as the current
// directory: register it with ::testing::AddGlobalTestEnvironment.
class ScratchDirectoryEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        m_tree.reset(new TempTree);
        m_cwd.reset(new ScopedDirectory(m_tree->Root()));
    }
    void TearDown() override
    {
        m_cwd.reset();
        m_tree.reset();
    }

private:
    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<ScopedDirectory> m_cwd;
};

}  // namespace testsupport
