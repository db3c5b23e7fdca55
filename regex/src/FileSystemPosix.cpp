// The file-system layer on POSIX.

#include "FileSystem.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegexClass {
namespace detail {
namespace os {

namespace {

// Runs a system call again for as long as a signal interrupts it.
template <class Call>
auto RetryInterrupted(Call call) -> decltype(call())
{
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

int Fd(const File& file)
{
    return static_cast<int>(file.Native());
}

FileType TypeOf(mode_t mode)
{
    if (S_ISREG(mode))
        return FileType::Regular;
    if (S_ISDIR(mode))
        return FileType::Directory;
    if (S_ISLNK(mode))
        return FileType::SymbolicLink;
    return FileType::Other;
}

FileType TypeOf(unsigned char direntType)
{
    switch (direntType) {
    case DT_REG:
        return FileType::Regular;
    case DT_DIR:
        return FileType::Directory;
    case DT_LNK:
        return FileType::SymbolicLink;
    case DT_UNKNOWN:
        return FileType::Unknown;
    default:
        return FileType::Other;
    }
}

FileStatus StatusOf(const struct stat& st)
{
    FileStatus status;
    status.id.device = static_cast<std::uint64_t>(st.st_dev);
    status.id.index = static_cast<std::uint64_t>(st.st_ino);
    status.type = TypeOf(st.st_mode);
    status.size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    status.links = static_cast<std::uint32_t>(st.st_nlink);
    // The owner write bit, whatever the process's privileges: root changes
    // nothing that its owner marked read-only.
    status.readOnly = (st.st_mode & S_IWUSR) == 0;
    return status;
}

// Flushes a directory so that a rename in it survives a crash; best effort.
void SyncDirectory(const std::string& dir)
{
    File directory;
    directory.Adopt(RetryInterrupted([&] { return ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); }));
    if (directory.IsOpen())
        ::fsync(Fd(directory));
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

int ErrorCode(Condition condition)
{
    switch (condition) {
    case Condition::TooLarge:
        return EFBIG;
    case Condition::NoMemory:
        return ENOMEM;
    case Condition::NotRegular:
        return EINVAL;
    case Condition::ManyNames:
        return EMLINK;
    case Condition::OutsideTree:
        return EXDEV;
    case Condition::AlreadyChanged:
        return EEXIST;
    case Condition::NothingWritten:
        return ENOSPC;
    }
    return EIO;
}

bool RefusesNewEntries(int error)
{
    return error == EACCES || error == EPERM;
}

// ------------------------------------------------------------------- paths

const char kPathSeparator = '/';

std::string::size_type LastSeparator(const std::string& path)
{
    return path.rfind('/');
}

std::string DirectoryOf(const std::string& path)
{
    std::string::size_type slash = LastSeparator(path);
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

int RealPath(const std::string& path, std::string& resolved)
{
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (!real)
        return errno;
    resolved = real.get();
    return 0;
}

bool IsInside(const std::string& path, const std::string& directory)
{
    if (path.compare(0, directory.size(), directory) != 0)
        return false;
    if (path.size() == directory.size())
        return true;
    return directory.back() == '/' || path[directory.size()] == '/';
}

// ------------------------------------------------------------------ status

int GetStatus(const std::string& path, bool followLinks, FileStatus& status)
{
    struct stat st;
    if ((followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0)
        return errno;
    status = StatusOf(st);
    return 0;
}

Listing ListDirectory(const std::string& path, bool noFollow, std::vector<DirectoryEntry>& entries, int& error)
{
    entries.clear();
    error = 0;
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0);
    File opened;
    opened.Adopt(RetryInterrupted([&] { return ::open(path.c_str(), flags); }));
    if (!opened.IsOpen()) {
        error = errno;
        // Replaced by a link or a file since it was listed as a directory.
        if (noFollow && (error == ELOOP || error == ENOTDIR))
            return Listing::NotADirectory;
        return Listing::CannotOpen;
    }
    std::unique_ptr<DIR, DirCloser> dir(::fdopendir(Fd(opened)));
    if (!dir) {
        error = errno;
        return Listing::CannotOpen;
    }
    opened.Release();  // the stream owns the descriptor now
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(dir.get());
        if (!e) {
            if (errno == 0)
                return Listing::Complete;
            error = errno;
            return Listing::CannotRead;
        }
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
            continue;
        entries.push_back(DirectoryEntry{e->d_name, TypeOf(e->d_type)});
    }
}

// ------------------------------------------------------------------- files

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        Close();
        m_handle = other.m_handle;
        other.m_handle = kNone;
    }
    return *this;
}

void File::Close()
{
    // Not retried on EINTR: on Linux the descriptor is gone either way.
    if (m_handle != kNone)
        ::close(static_cast<int>(m_handle));
    m_handle = kNone;
}

int OpenForReading(const std::string& path, File& file)
{
    file.Adopt(RetryInterrupted([&] { return ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); }));
    return file.IsOpen() ? 0 : errno;
}

int GetStatus(const File& file, FileStatus& status)
{
    struct stat st;
    if (::fstat(Fd(file), &st) != 0)
        return errno;
    status = StatusOf(st);
    return 0;
}

int Read(File& file, char* data, std::size_t size, std::size_t& got)
{
    got = 0;
    ssize_t n = RetryInterrupted([&] { return ::read(Fd(file), data, size); });
    if (n < 0)
        return errno;
    got = static_cast<std::size_t>(n);
    return 0;
}

int Write(File& file, const char* data, std::size_t size, std::size_t& written)
{
    written = 0;
    while (written < size) {
        ssize_t n = RetryInterrupted([&] { return ::write(Fd(file), data + written, size - written); });
        if (n < 0)
            return errno;
        if (n == 0)
            return ErrorCode(Condition::NothingWritten);
        written += static_cast<std::size_t>(n);
    }
    return 0;
}

int FlushToDisk(File& file)
{
    return ::fsync(Fd(file)) == 0 ? 0 : errno;
}

int CreateTemporaryIn(const std::string& directory, File& file, std::string& name)
{
    std::string pattern = directory + (directory.empty() || directory.back() != '/' ? "/" : "") + "RegexXXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    // New and exclusive, mode 0600.
    file.Adopt(::mkostemp(buffer.data(), O_CLOEXEC));
    if (!file.IsOpen())
        return errno;
    name = buffer.data();
    return 0;
}

namespace {

// `permissionNeeded`: a refusal to set the mode is an error too.
int CopyOwnerAndMode(const File& from, File& to, bool permissionNeeded)
{
    struct stat st;
    if (::fstat(Fd(from), &st) != 0)
        return errno;
    // Owner first: changing it may clear set-id bits that the mode then restores.
    if (::fchown(Fd(to), st.st_uid, st.st_gid) != 0 && errno != EPERM)
        return errno;
    if (::fchmod(Fd(to), st.st_mode & 07777) == 0)
        return 0;
    return errno == EPERM && !permissionNeeded ? 0 : errno;
}

}  // namespace

int CopyOwnerAndMode(const File& from, File& to)
{
    return CopyOwnerAndMode(from, to, true);
}

int ReplaceFile(const std::string& replacement, const std::string& target)
{
    if (::rename(replacement.c_str(), target.c_str()) != 0)
        return errno;
    SyncDirectory(DirectoryOf(target));
    return 0;
}

int OverwriteFile(const std::string& target, const char* data, std::size_t size, const File* attributesFrom)
{
    File out;
    out.Adopt(RetryInterrupted([&] { return ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC); }));
    if (!out.IsOpen())
        return errno;
    std::size_t written = 0;
    if (int error = Write(out, data, size, written))
        return error;
    if (RetryInterrupted([&] { return ::ftruncate(Fd(out), static_cast<off_t>(size)); }) != 0)
        return errno;
    if (attributesFrom) {
        if (int error = CopyOwnerAndMode(*attributesFrom, out, false))
            return error;
    }
    return FlushToDisk(out);
}

int RemoveFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

}  // namespace os
}  // namespace detail
}  // namespace RegexClass
