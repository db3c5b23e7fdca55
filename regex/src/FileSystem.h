#pragma once

// The operating system beneath FindFiles, GrepFiles and ChangeFiles: one
// interface, one implementation per platform (FileSystemPosix.cpp, ...).
// The walk, the search and the rewriting above it are written once.
//
// Paths are byte strings, used as the caller wrote them. Error codes are
// the platform's own: errno on POSIX, GetLastError() on Windows; 0 is
// success. Calls interrupted by a signal are retried inside the layer.

#include <vantrel/Export.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace RegexClass {
namespace detail {
// Testable as a whole: the library's tests check the layer's contract directly.
namespace os {

// Which file a name reaches, whatever the name: device and inode on POSIX,
// volume serial number and file index on Windows.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t index = 0;
};
inline bool operator==(const FileId& a, const FileId& b)
{
    return a.device == b.device && a.index == b.index;
}
inline bool operator<(const FileId& a, const FileId& b)
{
    return a.device != b.device ? a.device < b.device : a.index < b.index;
}

enum class FileType { Regular, Directory, SymbolicLink, Other, Unknown };

struct FileStatus {
    FileId id;
    FileType type = FileType::Unknown;
    std::uint64_t size = 0;
    std::uint32_t links = 1;  // hard links (names) of the file
    bool readOnly = false;    // the owner may not write it: no owner write bit / FILE_ATTRIBUTE_READONLY
};

struct DirectoryEntry {
    std::string name;
    FileType type;  // Unknown when the listing does not tell
};

// Conditions that the layers above report with an error code of their own
// choosing, in the platform's numbering.
enum class Condition {
    TooLarge,        // EFBIG / ERROR_FILE_TOO_LARGE
    NoMemory,        // ENOMEM / ERROR_NOT_ENOUGH_MEMORY
    NotRegular,      // EINVAL / ERROR_INVALID_PARAMETER: not a regular file
    ManyNames,       // EMLINK / ERROR_TOO_MANY_LINKS: more than one hard link
    OutsideTree,     // EXDEV / ERROR_NOT_SAME_DEVICE: the real path leaves the searched directory
    AlreadyChanged,  // EEXIST / ERROR_ALREADY_EXISTS: another name of a file changed in this pass
    NothingWritten,  // ENOSPC / ERROR_DISK_FULL: a write that took no byte
};
int ErrorCode(Condition condition);

// Whether creating a file failed because the directory refuses new entries
// (as opposed to a full disk or a missing directory).
bool RefusesNewEntries(int error);

// ------------------------------------------------------------------- paths

// The separator the walk puts between a directory and a name below it.
extern const char kPathSeparator;
// Position of the last path separator, or npos.
std::string::size_type LastSeparator(const std::string& path);
// The directory part of a path: "." for a bare name.
std::string DirectoryOf(const std::string& path);
// The absolute path with every link resolved.
int RealPath(const std::string& path, std::string& resolved);
// Whether `path` (a real path) is `directory` (a real path) or lies below it.
bool IsInside(const std::string& path, const std::string& directory);

// ------------------------------------------------------------------ status

int GetStatus(const std::string& path, bool followLinks, FileStatus& status);

// Lists a directory, "." and ".." left out, in no particular order.
enum class Listing {
    Complete,
    NotADirectory,  // `noFollow` and the name is a link, or not a directory (any more)
    CannotOpen,     // error set, nothing listed
    CannotRead      // error set; the entries read before the failure are kept
};
Listing ListDirectory(const std::string& path, bool noFollow, std::vector<DirectoryEntry>& entries, int& error);

// ------------------------------------------------------------------- files

// An open file, closed when the object goes.
class File {
public:
    File() = default;
    ~File() { Close(); }
    File(File&& other) noexcept : m_handle(other.m_handle) { other.m_handle = kNone; }
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool IsOpen() const { return m_handle != kNone; }
    void Close();

    // A file descriptor on POSIX, a HANDLE on Windows.
    std::intptr_t Native() const { return m_handle; }
    void Adopt(std::intptr_t handle)
    {
        Close();
        m_handle = handle;
    }
    std::intptr_t Release()
    {
        std::intptr_t handle = m_handle;
        m_handle = kNone;
        return handle;
    }

private:
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t m_handle = kNone;
};

// Opens for reading, letting others read (and, on POSIX, write) it too; a
// FIFO or device named here is opened without waiting and without becoming
// the controlling terminal.
int OpenForReading(const std::string& path, File& file);
int GetStatus(const File& file, FileStatus& status);
// Reads up to `size` bytes; `got` is 0 only at the end of the file.
int Read(File& file, char* data, std::size_t size, std::size_t& got);
// Reads until `size` bytes have arrived or the file ends (`got` < `size`).
inline int ReadFully(File& file, char* data, std::size_t size, std::size_t& got)
{
    got = 0;
    while (got < size) {
        std::size_t n = 0;
        if (int error = Read(file, data + got, size - got, n))
            return error;
        if (n == 0)
            break;
        got += n;
    }
    return 0;
}
// Writes all `size` bytes; `written` tells how many went out before a failure.
int Write(File& file, const char* data, std::size_t size, std::size_t& written);
// Makes what was written durable (fsync / FlushFileBuffers).
int FlushToDisk(File& file);

// Creates "RegexXXXXXX" (a unique name) new in `directory`, for writing,
// readable by the owner only until its attributes are copied; `name` is the
// path of the file created.
int CreateTemporaryIn(const std::string& directory, File& file, std::string& name);
// Gives `to` the owner, group and mode (Windows: attributes) of `from`.
// Where the process may not give a file away, the owner is left as it is.
int CopyOwnerAndMode(const File& from, File& to);
// Puts the closed file `replacement` in the place of `target` in one step,
// so that `target` names the old or the new file at every instant, and makes
// the change durable.
int ReplaceFile(const std::string& replacement, const std::string& target);
// Writes `data` over the content of the existing file `target` (same file,
// same links), cuts it to that length and flushes it; not atomic. With
// `attributesFrom`, then gives it that file's owner, group and mode as far
// as the process may.
int OverwriteFile(const std::string& target, const char* data, std::size_t size, const File* attributesFrom);
int RemoveFile(const std::string& path);

}  // namespace os
}  // namespace detail
}  // namespace RegexClass
