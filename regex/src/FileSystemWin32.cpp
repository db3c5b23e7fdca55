// The file-system layer on Windows.

#include "FileSystem.h"

#include <windows.h>
// The layer's own ReplaceFile, not the system's ANSI/wide macro.
#undef ReplaceFile

#include <atomic>
#include <cstring>

namespace RegexClass {
namespace detail {
namespace os {

namespace {

HANDLE Handle(const File& file)
{
    return reinterpret_cast<HANDLE>(file.Native());
}
std::intptr_t Native(HANDLE handle)
{
    return reinterpret_cast<std::intptr_t>(handle);
}

int LastError()
{
    return static_cast<int>(GetLastError());
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

FileType TypeOf(DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return FileType::SymbolicLink;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return FileType::Directory;
    if (attributes & FILE_ATTRIBUTE_DEVICE)
        return FileType::Other;
    return FileType::Regular;
}

FileStatus StatusOf(HANDLE handle, const BY_HANDLE_FILE_INFORMATION& info, bool followedLinks)
{
    FileStatus status;
    status.id.device = info.dwVolumeSerialNumber;
    status.id.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    DWORD attributes = info.dwFileAttributes;
    if (followedLinks)
        attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_REPARSE_POINT);
    status.type = TypeOf(attributes);
    // Pipes and character devices are no files to search.
    if (status.type == FileType::Regular && GetFileType(handle) != FILE_TYPE_DISK)
        status.type = FileType::Other;
    status.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    status.links = info.nNumberOfLinks;
    status.readOnly = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    return status;
}

// A handle for reading attributes only: it opens even a file that another
// handle holds without sharing.
int OpenForStatus(const std::string& path, bool followLinks, File& file)
{
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    file.Adopt(
        Native(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, flags, nullptr)));
    return file.IsOpen() ? 0 : LastError();
}

int StatusOfOpen(const File& file, bool followedLinks, FileStatus& status)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(Handle(file), &info))
        return LastError();
    status = StatusOf(Handle(file), info, followedLinks);
    return 0;
}

// Six characters for a temporary name, different on every call in the process
// and unlikely to repeat across processes.
std::string UniqueSuffix()
{
    static std::atomic<std::uint32_t> counter{0};
    std::uint32_t value = (GetCurrentProcessId() * 2654435761u) ^ (GetTickCount() << 7) ^ (counter++ * 40503u);
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string suffix;
    for (int i = 0; i < 6; ++i, value /= 36)
        suffix += kDigits[value % 36];
    return suffix;
}

// The attributes a copy of a file's content may take over.
constexpr DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

}  // namespace

int ErrorCode(Condition condition)
{
    switch (condition) {
    case Condition::TooLarge:
        return ERROR_FILE_TOO_LARGE;
    case Condition::NoMemory:
        return ERROR_NOT_ENOUGH_MEMORY;
    case Condition::NotRegular:
        return ERROR_INVALID_PARAMETER;
    case Condition::ManyNames:
        return ERROR_TOO_MANY_LINKS;
    case Condition::OutsideTree:
        return ERROR_NOT_SAME_DEVICE;
    case Condition::AlreadyChanged:
        return ERROR_ALREADY_EXISTS;
    case Condition::NothingWritten:
        return ERROR_DISK_FULL;
    }
    return ERROR_GEN_FAILURE;
}

bool RefusesNewEntries(int error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT;
}

// ------------------------------------------------------------------- paths

const char kPathSeparator = '\\';

std::string::size_type LastSeparator(const std::string& path)
{
    return path.find_last_of("\\/");
}

std::string DirectoryOf(const std::string& path)
{
    std::string::size_type slash = LastSeparator(path);
    if (slash == std::string::npos)
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : ".";
    // The root of a drive or of the current drive keeps its separator.
    if (slash == 0 || (slash == 2 && path[1] == ':'))
        return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

int RealPath(const std::string& path, std::string& resolved)
{
    File file;
    if (int error = OpenForStatus(path, true, file))
        return error;
    char buffer[MAX_PATH * 4];
    const DWORD length = GetFinalPathNameByHandleA(Handle(file), buffer, sizeof buffer, FILE_NAME_NORMALIZED);
    if (length == 0)
        return LastError();
    if (length >= sizeof buffer)
        return ERROR_FILENAME_EXCED_RANGE;
    resolved.assign(buffer, length);
    // "\\?\C:\dir" names the same file as "C:\dir".
    if (resolved.compare(0, 4, "\\\\?\\") == 0 && resolved.compare(0, 8, "\\\\?\\UNC\\") != 0)
        resolved.erase(0, 4);
    return 0;
}

bool IsInside(const std::string& path, const std::string& directory)
{
    // Windows file names compare without case.
    if (path.size() < directory.size() || _strnicmp(path.c_str(), directory.c_str(), directory.size()) != 0)
        return false;
    if (path.size() == directory.size())
        return true;
    return IsSeparator(directory.back()) || IsSeparator(path[directory.size()]);
}

// ------------------------------------------------------------------ status

int GetStatus(const std::string& path, bool followLinks, FileStatus& status)
{
    File file;
    if (int error = OpenForStatus(path, followLinks, file))
        return error;
    return StatusOfOpen(file, followLinks, status);
}

Listing ListDirectory(const std::string& path, bool noFollow, std::vector<DirectoryEntry>& entries, int& error)
{
    entries.clear();
    error = 0;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = LastError();
        return Listing::CannotOpen;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (noFollow && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))) {
        error = ERROR_DIRECTORY;
        return noFollow ? Listing::NotADirectory : Listing::CannotOpen;
    }
    const std::string pattern = path + (path.empty() || IsSeparator(path.back()) ? "*" : "\\*");
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        error = LastError();
        if (error == ERROR_FILE_NOT_FOUND) {  // a drive's root holds neither "." nor ".."
            error = 0;
            return Listing::Complete;
        }
        return Listing::CannotOpen;
    }
    Listing result = Listing::Complete;
    do {
        if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0)
            continue;
        entries.push_back(DirectoryEntry{found.cFileName, TypeOf(found.dwFileAttributes)});
    } while (FindNextFileA(search, &found));
    if (GetLastError() != ERROR_NO_MORE_FILES) {
        error = LastError();
        result = Listing::CannotRead;
    }
    FindClose(search);
    return result;
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
    if (m_handle != kNone)
        CloseHandle(Handle(*this));
    m_handle = kNone;
}

int OpenForReading(const std::string& path, File& file)
{
    // Others may read it as well; a writer elsewhere makes this fail, and the
    // file is then left alone. Sharing deletion lets the rewrite replace the
    // file while this handle still reads it.
    file.Adopt(Native(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
    return file.IsOpen() ? 0 : LastError();
}

int GetStatus(const File& file, FileStatus& status)
{
    return StatusOfOpen(file, true, status);
}

int Read(File& file, char* data, std::size_t size, std::size_t& got)
{
    got = 0;
    const DWORD ask = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD n = 0;
    if (!ReadFile(Handle(file), data, ask, &n, nullptr)) {
        const int error = LastError();
        return error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE ? 0 : error;
    }
    got = n;
    return 0;
}

int Write(File& file, const char* data, std::size_t size, std::size_t& written)
{
    written = 0;
    while (written < size) {
        const std::size_t left = size - written;
        const DWORD ask = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD n = 0;
        if (!WriteFile(Handle(file), data + written, ask, &n, nullptr))
            return LastError();
        if (n == 0)
            return ErrorCode(Condition::NothingWritten);
        written += n;
    }
    return 0;
}

int FlushToDisk(File& file)
{
    return FlushFileBuffers(Handle(file)) ? 0 : LastError();
}

int CreateTemporaryIn(const std::string& directory, File& file, std::string& name)
{
    const std::string prefix = directory + (directory.empty() || IsSeparator(directory.back()) ? "" : "\\") + "Regex";
    int error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100 && error == ERROR_FILE_EXISTS; ++attempt) {
        const std::string candidate = prefix + UniqueSuffix();
        // New, shared with nobody, normal attributes.
        file.Adopt(Native(
            CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
        if (file.IsOpen()) {
            name = candidate;
            return 0;
        }
        error = LastError();
        if (error == ERROR_ALREADY_EXISTS)
            error = ERROR_FILE_EXISTS;
    }
    return error;
}

int CopyOwnerAndMode(const File& from, File& to)
{
    // Owner and security come along with ReplaceFileA; here only the attributes.
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(Handle(from), &info))
        return LastError();
    FILE_BASIC_INFO basic = {};
    basic.FileAttributes = info.dwFileAttributes & kCopiedAttributes;
    if (basic.FileAttributes == 0)
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(Handle(to), FileBasicInfo, &basic, sizeof basic) ? 0 : LastError();
}

int ReplaceFile(const std::string& replacement, const std::string& target)
{
    // ReplaceFileA keeps the original's attributes, security and streams.
    if (ReplaceFileA(target.c_str(), replacement.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return 0;
    const int error = LastError();
    // Volumes without ReplaceFile support still rename in one step.
    if (MoveFileExA(replacement.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    return error;
}

int OverwriteFile(const std::string& target, const char* data, std::size_t size, const File* attributesFrom)
{
    File out;
    out.Adopt(Native(CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!out.IsOpen())
        return LastError();
    std::size_t written = 0;
    if (int error = Write(out, data, size, written))
        return error;
    if (!SetEndOfFile(Handle(out)))
        return LastError();
    if (attributesFrom)
        CopyOwnerAndMode(*attributesFrom, out);  // as far as allowed
    return FlushToDisk(out);
}

int RemoveFile(const std::string& path)
{
    return DeleteFileA(path.c_str()) ? 0 : LastError();
}

}  // namespace os
}  // namespace detail
}  // namespace RegexClass
