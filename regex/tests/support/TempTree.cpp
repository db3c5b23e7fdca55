#include "TempTree.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path)
{
    throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

void MakeParents(const std::string& path)
{
    for (std::string::size_type slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        std::string dir = path.substr(0, slash);
        if (::mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST)
            Fail("mkdir", dir);
    }
}

int RemoveOne(const char* path, const struct stat*, int, struct FTW*)
{
    // Read-only directories must not keep their content.
    ::chmod(path, 0700);
    return ::remove(path);
}

}  // namespace

TempTree::TempTree()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/vantrel-test-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!::mkdtemp(name.data()))
        Fail("mkdtemp", pattern);
    m_root = name.data();
}

TempTree::~TempTree()
{
    // Depth first, without following links out of the tree.
    ::nftw(m_root.c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS);
}

std::string TempTree::Path(const std::string& relative) const
{
    return relative.empty() ? m_root : m_root + "/" + relative;
}

void TempTree::Write(const std::string& relative, const std::string& content, mode_t mode) const
{
    const std::string path = Path(relative);
    MakeParents(path);
    ::unlink(path.c_str());
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0)
        Fail("open", path);
    const char* data = content.data();
    std::size_t left = content.size();
    while (left) {
        ssize_t n = ::write(fd, data, left);
        if (n <= 0) {
            ::close(fd);
            Fail("write", path);
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    ::fchmod(fd, mode);
    ::close(fd);
}

std::string TempTree::Read(const std::string& relative) const
{
    std::ifstream in(Path(relative), std::ios::binary);
    if (!in)
        Fail("read", Path(relative));
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool TempTree::Exists(const std::string& relative) const
{
    struct stat st;
    return ::lstat(Path(relative).c_str(), &st) == 0;
}

void TempTree::MakeDirectory(const std::string& relative) const
{
    const std::string path = Path(relative);
    MakeParents(path + "/");
}

void TempTree::Link(const std::string& relative, const std::string& target) const
{
    const std::string path = Path(relative);
    MakeParents(path);
    if (::symlink(target.c_str(), path.c_str()) != 0)
        Fail("symlink", path);
}

void TempTree::Remove(const std::string& relative) const
{
    ::nftw(Path(relative).c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS);
}

std::vector<std::string> TempTree::List(const std::string& relative) const
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(Path(relative).c_str());
    if (!dir)
        Fail("opendir", Path(relative));
    while (const dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names.push_back(e->d_name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

ScopedDirectory::ScopedDirectory(const std::string& dir)
{
    char* current = ::getcwd(nullptr, 0);
    if (!current)
        Fail("getcwd", dir);
    m_previous = current;
    std::free(current);
    if (::chdir(dir.c_str()) != 0)
        Fail("chdir", dir);
}

ScopedDirectory::~ScopedDirectory()
{
    if (::chdir(m_previous.c_str()) != 0)
        std::abort();
}

}  // namespace testsupport
