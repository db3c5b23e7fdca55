// FindFiles, GrepFiles and ChangeFiles: configuring the file-search layer,
// forwarding its reports to the object on top of the thread's active-object
// stack, and rewriting changed files (see FileOperations.h for how).

#include "FileOperations.h"

#include "EngineFlags.h"
#include "FileSearch.h"
#include "RegularExpressionImpl.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegexClass {

using detail::FileMatch;
using detail::SearchAnswer;
using Problem = RegularExpression::FileChangeProblem;

namespace {

// ------------------------------------------------------------ active objects

// The objects whose file operation runs on this thread, innermost last. The
// layer's reports go to the top one; a callback may start a file operation
// on another object, which pushes that one for its own pass.
thread_local std::vector<RegularExpression*> t_activeObjects;

class ActiveScope {
public:
    explicit ActiveScope(RegularExpression* object) { t_activeObjects.push_back(object); }
    ~ActiveScope() { t_activeObjects.pop_back(); }
    ActiveScope(const ActiveScope&) = delete;
    ActiveScope& operator=(const ActiveScope&) = delete;
};

RegularExpression& ActiveObject() { return *t_activeObjects.back(); }

// --------------------------------------------------------------- fault hook

std::mutex g_hookLock;
detail::ChangeFaultHook g_faultHook;

int Fault(detail::ChangeStep step, const std::string& name) {
    detail::ChangeFaultHook hook;
    {
        std::lock_guard<std::mutex> lock(g_hookLock);
        if (!g_faultHook) return 0;
        hook = g_faultHook;
    }
    return hook(step, name);
}

// ---------------------------------------------------------- search and reports

detail::SearchTraits TraitsOf(const RegularExpressionImpl& d) {
    switch (d.ModelIndex()) {
    case RegularExpression::LocaleWin32: return detail::SearchTraits::Win32;
    case RegularExpression::LocaleC: return detail::SearchTraits::C;
    default: return detail::SearchTraits::Cpp;
    }
}

// Configures the layer; false when there is nothing to search or the engine
// rejects the expression.
bool Prepare(RegularExpressionImpl& d, detail::FileSearch& search) {
    if (d.expression.empty() || d.filesToMatch.empty()) return false;
    search.SetContinueOnProblems(d.continueFiles);
    search.SetTraits(TraitsOf(d));
    return search.SetExpression(d.expression, d.expressionOptions.count(RegularExpression::IgnoreCase) != 0);
}

std::vector<REMatch> MatchList(const FileMatch& match) {
    std::vector<REMatch> list;
    list.reserve(match.Marks());
    for (std::size_t i = 0; i < match.Marks(); ++i)
        list.push_back(REMatch{match.Text(i), static_cast<std::int32_t>(match.Position(i))});
    return list;
}

SearchAnswer FindReport(const std::string& fileName) {
    RegularExpression& self = ActiveObject();
    RegularExpressionImpl& d = self.Impl();
    bool go = true;
    if (d.onFindFiles) {
        d.onFindFiles(&self, fileName, go);
    } else if (!d.onFindFilesClosure.empty()) {
        // A copy: the callback may replace its own slot.
        RegularExpression::FindFilesClosure closure = d.onFindFilesClosure;
        closure(&self, fileName, go);
    }
    return go ? SearchAnswer::Continue : SearchAnswer::Stop;
}

// Calls the grepping-files or changing-files slot; false when it cleared continue.
bool CallFileMatchSlot(RegularExpression& self, RegularExpression::GreppingFilesFunction function,
                       const RegularExpression::GreppingFilesClosure& slot, const std::string& fileName,
                       const FileMatch& match) {
    bool go = true;
    if (function) {
        function(&self, fileName, MatchList(match), match.Line(), go);
    } else if (!slot.empty()) {
        RegularExpression::GreppingFilesClosure closure = slot;
        closure(&self, fileName, MatchList(match), match.Line(), go);
    }
    return go;
}

SearchAnswer GrepReport(const std::string& fileName, const FileMatch& match) {
    RegularExpression& self = ActiveObject();
    RegularExpressionImpl& d = self.Impl();
    return CallFileMatchSlot(self, d.onGreppingFiles, d.onGreppingFilesClosure, fileName, match)
               ? SearchAnswer::Continue
               : SearchAnswer::Stop;
}

// -------------------------------------------------------------- small helpers

std::uint32_t Clamp32(std::uint64_t offset) {
    // An offset that does not fit is one the records cannot report.
    return offset > 0xFFFFFFFFull ? 0 : static_cast<std::uint32_t>(offset);
}

std::string DirectoryOf(const std::string& path) {
    std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Flushes a directory so that a rename in it survives a crash; best effort.
void SyncDirectory(const std::string& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool IsReadOnly(const std::string& fileName) {
    // The owner write bit, whatever the process's privileges: root changes
    // nothing that its owner marked read-only.
    struct stat st;
    return ::stat(fileName.c_str(), &st) != 0 || (st.st_mode & S_IWUSR) == 0;
}

// ---------------------------------------------------------- temporary files

// A file created for writing; removed unless kept.
class TempFile {
public:
    TempFile() = default;
    ~TempFile() { Discard(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Creates "<dir>/RegexXXXXXX" new and exclusive with mode 0600; errno on failure.
    int CreateIn(const std::string& dir) {
        Discard();
        std::string pattern = dir + (dir.empty() || dir.back() != '/' ? "/" : "") + "RegexXXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) return errno;
        m_fd = fd;
        m_name = name.data();
        return 0;
    }
    void Discard() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
        if (!m_name.empty()) ::unlink(m_name.c_str());
        m_name.clear();
    }
    // After a rename the name belongs to the renamed file.
    void Keep() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
        m_name.clear();
    }
    int fd() const { return m_fd; }
    const std::string& name() const { return m_name; }

private:
    int m_fd = -1;
    std::string m_name;
};

// The temporary file beside `dir`'s files, else in a temporary directory.
// Sets `beside`; errno on failure.
int CreateTemporary(const std::string& dir, TempFile& temp, bool& beside) {
    beside = true;
    int error = Fault(detail::ChangeStep::CreateTemporaryBeside, dir);
    if (!error && (error = temp.CreateIn(dir)) == 0) return 0;
    beside = false;
    if (int fault = Fault(detail::ChangeStep::CreateTemporary, dir)) return fault;
    std::vector<std::string> dirs;
    if (const char* env = std::getenv("TMPDIR")) {
        if (*env && std::strlen(env) < 260) dirs.push_back(env);
    }
    dirs.push_back(P_tmpdir);
    dirs.push_back("/tmp");
    for (const std::string& candidate : dirs) {
        if ((error = temp.CreateIn(candidate)) == 0) return 0;
    }
    return error;
}

// ------------------------------------------------------------ buffered writer

class Writer {
public:
    Writer(int fd, const std::string& name) : m_fd(fd), m_name(name) { m_buffer.reserve(kSize); }

    // errno of the first failure, sticky.
    int Write(const char* data, std::size_t size) {
        if (m_error) return m_error;
        if (m_buffer.size() + size > kSize && Flush()) return m_error;
        if (size >= kSize) return WriteOut(data, size);
        m_buffer.append(data, size);
        return 0;
    }
    int Flush() {
        if (m_error || m_buffer.empty()) return m_error;
        WriteOut(m_buffer.data(), m_buffer.size());
        m_buffer.clear();
        return m_error;
    }
    std::uint64_t offset() const { return m_offset; }

private:
    static constexpr std::size_t kSize = 1 << 16;

    int WriteOut(const char* data, std::size_t size) {
        if ((m_error = Fault(detail::ChangeStep::WriteTemporary, m_name))) return m_error;
        while (size) {
            ssize_t n = ::write(m_fd, data, size);
            if (n < 0) {
                if (errno == EINTR) continue;
                return m_error = errno;
            }
            if (n == 0) return m_error = ENOSPC;
            data += n;
            size -= static_cast<std::size_t>(n);
            m_offset += static_cast<std::uint64_t>(n);
        }
        return 0;
    }

    int m_fd;
    const std::string& m_name;
    std::string m_buffer;
    std::uint64_t m_offset = 0;
    int m_error = 0;
};

// ---------------------------------------------------------------- rewriting

// Rewrites one file with its pending changes; records problems in `d`.
// True when the new content is in place.
class Rewrite {
public:
    Rewrite(RegularExpressionImpl& d, const std::string& name, const std::vector<ChangeRecord>& changes)
        : m_d(d), m_name(name), m_changes(changes) {}

    bool Run() {
        m_in = ::open(m_name.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_in < 0) return Fail(0, m_name, 0, errno);
        struct stat st;
        if (::fstat(m_in, &st) != 0) return Fail(0, m_name, 0, errno);
        if (!S_ISREG(st.st_mode)) return Fail(0, m_name, 0, EINVAL);
        // A rename would leave the other names with the old content.
        if (st.st_nlink > 1) return Fail(6, m_name, 0, EMLINK);

        // A symbolic link keeps being a link: its target is what gets replaced.
        std::string target = m_name;
        struct stat lst;
        if (::lstat(m_name.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
            char* resolved = ::realpath(m_name.c_str(), nullptr);
            if (!resolved) return Fail(0, m_name, 0, errno);
            target = resolved;
            std::free(resolved);
        }
        const std::string targetDir = DirectoryOf(target);

        bool beside = true;
        if (int error = CreateTemporary(targetDir, m_temp, beside)) return Fail(1, "NoName", 0, error);

        const std::string& extension = m_d.saveExtension;
        std::string backupName;
        if (!extension.empty()) {
            backupName = detail::BackupName(m_name, extension);
            int error = Fault(detail::ChangeStep::Backup, backupName);
            if (!error) error = m_backup.CreateIn(DirectoryOf(backupName));
            if (error) return Fail(5, backupName, 0, error);
        }

        Writer out(m_temp.fd(), m_temp.name());
        std::unique_ptr<Writer> backup(extension.empty() ? nullptr : new Writer(m_backup.fd(), m_backup.name()));
        if (!Copy(out, backup.get(), backupName)) return false;

        if (out.Flush()) return Fail(3, m_temp.name(), Clamp32(out.offset()), out.Flush());
        bool identical = true;
        for (const ChangeRecord& r : m_changes) identical = identical && r.matched == r.replacement;
        if (identical) return true;   // the file already holds its new content, as checked above

        // Owner first: changing it may clear set-id bits that the mode then restores.
        if (::fchown(m_temp.fd(), st.st_uid, st.st_gid) != 0 && errno != EPERM)
            return Fail(7, m_name, 0, errno);
        int error = Fault(detail::ChangeStep::RestoreAttributes, m_name);
        if (!error && ::fchmod(m_temp.fd(), st.st_mode & 07777) != 0) error = errno;
        if (error) return Fail(7, m_name, 0, error);
        if (::fsync(m_temp.fd()) != 0) return Fail(3, m_temp.name(), Clamp32(out.offset()), errno);

        if (backup) {
            error = backup->Flush();
            if (!error && ::fchmod(m_backup.fd(), st.st_mode & 07777) != 0) error = errno;
            if (!error && ::fsync(m_backup.fd()) != 0) error = errno;
            if (!error && ::rename(m_backup.name().c_str(), backupName.c_str()) != 0) error = errno;
            if (error) return Fail(5, backupName, 0, error);
            m_backup.Keep();
            SyncDirectory(DirectoryOf(backupName));
        }

        if ((error = Fault(detail::ChangeStep::Replace, m_name))) return Fail(6, m_name, 0, error);
        if (::rename(m_temp.name().c_str(), target.c_str()) == 0) {
            m_temp.Keep();
            SyncDirectory(targetDir);
            return true;
        }
        error = errno;
        if (beside || error != EXDEV) return Fail(6, m_name, 0, error);
        if ((error = CopyInPlace(target, out.offset()))) return Fail(6, m_name, 0, error);
        return true;
    }

    ~Rewrite() {
        if (m_in >= 0) ::close(m_in);
    }

private:
    static constexpr std::size_t kChunk = 1 << 16;

    bool Fail(std::uint32_t kind, const std::string& file, std::uint32_t position, int error,
              const std::string& text = std::string()) {
        m_d.changeFileProblems.push_back(Problem{file, kind, position, text, static_cast<std::uint32_t>(error)});
        return false;
    }

    // Reads exactly `size` bytes; errno, or -1 when the file ends first.
    int ReadExact(char* data, std::size_t size) {
        while (size) {
            ssize_t n = ::read(m_in, data, size);
            if (n < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            if (n == 0) return -1;
            data += n;
            size -= static_cast<std::size_t>(n);
            m_readOffset += static_cast<std::uint64_t>(n);
        }
        return 0;
    }

    bool ReadFailed(int error) {
        // A short read sets no errno.
        return Fail(2, m_name, Clamp32(m_readOffset), error < 0 ? 0 : error);
    }

    // Copies `size` bytes (or, with `toEnd`, everything left) to the new
    // content and the backup.
    bool Pass(std::uint64_t size, bool toEnd, Writer& out, Writer* backup, const std::string& backupName) {
        while (toEnd || size) {
            std::size_t want = toEnd ? kChunk : static_cast<std::size_t>(std::min<std::uint64_t>(size, kChunk));
            ssize_t n = ::read(m_in, m_chunk.data(), want);
            if (n < 0) {
                if (errno == EINTR) continue;
                return ReadFailed(errno);
            }
            if (n == 0) {
                if (toEnd) return true;
                return ReadFailed(-1);
            }
            m_readOffset += static_cast<std::uint64_t>(n);
            if (!toEnd) size -= static_cast<std::uint64_t>(n);
            if (int error = out.Write(m_chunk.data(), static_cast<std::size_t>(n)))
                return Fail(3, m_temp.name(), Clamp32(out.offset()), error);
            if (backup) {
                if (int error = backup->Write(m_chunk.data(), static_cast<std::size_t>(n)))
                    return Fail(5, backupName, 0, error);
            }
        }
        return true;
    }

    bool Copy(Writer& out, Writer* backup, const std::string& backupName) {
        m_chunk.resize(kChunk);
        std::uint64_t readPosition = 0;
        std::string found;
        for (const ChangeRecord& r : m_changes) {
            if (r.position < readPosition) return Fail(4, m_name, r.position, 0, r.matched);
            if (!Pass(r.position - readPosition, false, out, backup, backupName)) return false;
            found.resize(r.matched.size());
            if (int error = ReadExact(&found[0], found.size())) return ReadFailed(error);
            if (found != r.matched) return Fail(4, m_name, r.position, 0, r.matched);
            if (backup) {
                if (int error = backup->Write(found.data(), found.size())) return Fail(5, backupName, 0, error);
            }
            if (int error = out.Write(r.replacement.data(), r.replacement.size()))
                return Fail(3, m_temp.name(), Clamp32(out.offset()), error);
            readPosition = std::uint64_t(r.position) + r.matched.size();
        }
        return Pass(0, true, out, backup, backupName);
    }

    // The temporary file lies on another file system: copy its content over
    // the original's (not atomic; see FileOperations.h). errno on failure.
    int CopyInPlace(const std::string& target, std::uint64_t size) {
        int to = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (to < 0) return errno;
        int error = 0;
        if (::lseek(m_temp.fd(), 0, SEEK_SET) != 0) error = errno;
        Writer writer(to, target);
        while (!error) {
            ssize_t n = ::pread(m_temp.fd(), m_chunk.data(), kChunk, static_cast<off_t>(writer.offset()));
            if (n < 0) {
                if (errno == EINTR) continue;
                error = errno;
                break;
            }
            if (n == 0) break;
            error = writer.Write(m_chunk.data(), static_cast<std::size_t>(n));
            if (!error) error = writer.Flush();
        }
        if (!error && writer.offset() != size) error = EIO;
        if (!error && ::ftruncate(to, static_cast<off_t>(size)) != 0) error = errno;
        if (!error && ::fsync(to) != 0) error = errno;
        ::close(to);
        return error;
    }

    RegularExpressionImpl& m_d;
    const std::string& m_name;
    const std::vector<ChangeRecord>& m_changes;
    int m_in = -1;
    std::uint64_t m_readOffset = 0;
    TempFile m_temp;
    TempFile m_backup;
    std::vector<char> m_chunk;
};

// Writes the current change file (when there is one) and resets the working state.
void WriteChangeFile(RegularExpressionImpl& d) {
    std::string name;
    std::vector<ChangeRecord> changes;
    name.swap(d.currentChangeFile);
    changes.swap(d.pendingChanges);
    if (name.empty() || changes.empty()) return;
    if (Rewrite(d, name, changes).Run()) d.changeCount += static_cast<std::uint32_t>(changes.size());
}

// --------------------------------------------------------------- change pass

template <class Regex>
std::string Replacement(const std::vector<ChangeSnapshot<Regex>>& stack, const std::string& matched,
                        const std::string& format) {
    if (stack.empty()) return matched;
    const ChangeSnapshot<Regex>& top = stack.back();
    // Only the default format syntax, copying what the expression leaves unmatched.
    return boost::regex_replace(matched, top.expression, format,
                                top.flags | detail::EngineFormatFlags(RegularExpression::FormatTypeAll));
}

// The compiled expression and flags that a ChangeFiles call replaces with.
class SnapshotScope {
public:
    SnapshotScope(RegularExpressionImpl& d, boost::regex_constants::match_flag_type flags)
        : m_d(d), m_model(d.ModelIndex()) {
        switch (m_model) {
        case RegularExpression::LocaleWin32: d.win32Snapshots.push_back({d.win32Expression, flags}); break;
        case RegularExpression::LocaleC: d.cSnapshots.push_back({d.cExpression, flags}); break;
        default: d.cppSnapshots.push_back({d.cppExpression, flags}); break;
        }
    }
    ~SnapshotScope() {
        switch (m_model) {
        case RegularExpression::LocaleWin32: m_d.win32Snapshots.pop_back(); break;
        case RegularExpression::LocaleC: m_d.cSnapshots.pop_back(); break;
        default: m_d.cppSnapshots.pop_back(); break;
        }
    }
    SnapshotScope(const SnapshotScope&) = delete;
    SnapshotScope& operator=(const SnapshotScope&) = delete;

private:
    RegularExpressionImpl& m_d;
    int m_model;
};

SearchAnswer ChangeReport(const std::string& fileName, const FileMatch& match) {
    RegularExpression& self = ActiveObject();
    RegularExpressionImpl& d = self.Impl();
    if (!d.continueFiles && !d.changeFileProblems.empty()) return SearchAnswer::Stop;
    if (fileName != d.currentChangeFile) WriteChangeFile(d);
    // The component's own refusals pass over this file only.
    if (!d.saveExtension.empty() && detail::HasSaveExtension(fileName, d.saveExtension)) return SearchAnswer::SkipFile;
    if (IsReadOnly(fileName)) return SearchAnswer::SkipFile;
    if (!CallFileMatchSlot(self, d.onChangingFiles, d.onChangingFilesClosure, fileName, match))
        return SearchAnswer::Stop;
    if (d.currentChangeFile.empty()) d.currentChangeFile = fileName;

    const std::string matched = match.Text(0);
    std::string replacement;
    switch (d.ModelIndex()) {   // the model cannot change while busy is set
    case RegularExpression::LocaleWin32: replacement = Replacement(d.win32Snapshots, matched, d.formatString); break;
    case RegularExpression::LocaleC: replacement = Replacement(d.cSnapshots, matched, d.formatString); break;
    default: replacement = Replacement(d.cppSnapshots, matched, d.formatString); break;
    }
    d.pendingChanges.push_back(ChangeRecord{match.Position(0), matched, std::move(replacement)});
    return SearchAnswer::Continue;
}

// A file the search could not process during ChangeFiles: recorded as a
// change problem (kind 0 when it could not be opened, else 2, error code the
// layer's errno or 0 when the engine gave up), and a file the engine gave up
// on half way is not written.
void ChangeSearchProblem(RegularExpressionImpl& d, const RegularExpression::FileSearchProblem& p) {
    if (p.fileName == d.currentChangeFile) {
        d.currentChangeFile.clear();
        d.pendingChanges.clear();
    }
    std::uint32_t kind = p.kind == detail::kSearchCannotOpen ? 0 : 2;
    d.changeFileProblems.push_back(Problem{p.fileName, kind, 0, std::string(), p.detail});
}

}  // namespace

// ------------------------------------------------------------ public helpers

namespace detail {

std::size_t ActiveObjectDepth() { return t_activeObjects.size(); }

void SetChangeFaultHook(ChangeFaultHook hook) {
    std::lock_guard<std::mutex> lock(g_hookLock);
    g_faultHook = std::move(hook);
}

namespace {
// Start of the last path component.
std::string::size_type LastComponent(const std::string& fileName) {
    std::string::size_type slash = fileName.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}
}  // namespace

bool HasSaveExtension(const std::string& fileName, const std::string& extension) {
    std::string::size_type dot = fileName.rfind('.');
    if (dot == std::string::npos || dot < LastComponent(fileName)) return false;
    if (fileName.size() - dot - 1 != extension.size()) return false;
    const std::locale global;
    for (std::size_t i = 0; i < extension.size(); ++i) {
        if (std::toupper(fileName[dot + 1 + i], global) != std::toupper(extension[i], global)) return false;
    }
    return true;
}

std::string BackupName(const std::string& fileName, const std::string& extension) {
    std::string::size_type dot = fileName.rfind('.');
    if (dot == std::string::npos || dot < LastComponent(fileName)) return fileName + "." + extension;
    return fileName.substr(0, dot) + "." + extension;
}

}  // namespace detail

// ------------------------------------------------------------ the operations

namespace {

// The common pass of FindFiles and GrepFiles: `run` walks the files with the
// prepared search; the problems it met go to `problems`.
template <class Run>
unsigned int SearchFiles(RegularExpression& object, std::vector<RegularExpression::FileSearchProblem>& problems,
                         Run run) {
    RegularExpressionImpl& d = object.Impl();
    problems.clear();
    detail::FileSearch search;
    if (!Prepare(d, search)) return 0;
    object.ParseExpression();   // the file search uses its own compilation; this one only fills the cache
    const auto flags = d.MatchFlags(false);
    unsigned int count = 0;
    {
        ActiveScope active(&object);
        count = run(search, flags);
    }
    problems = search.Problems();
    return count;
}

}  // namespace

unsigned int RegularExpression::FindFiles() {
    RegularExpressionImpl& d = *m_impl;
    return SearchFiles(*this, d.findFileProblems, [&d](detail::FileSearch& search, auto flags) {
        return search.Find(d.filesToMatch, d.directoryRecursion, flags, &FindReport);
    });
}

unsigned int RegularExpression::GrepFiles() {
    RegularExpressionImpl& d = *m_impl;
    return SearchFiles(*this, d.grepFileProblems, [&d](detail::FileSearch& search, auto flags) {
        return search.Grep(d.filesToMatch, d.directoryRecursion, flags, &GrepReport);
    });
}

unsigned int RegularExpression::ChangeFiles() {
    RegularExpressionImpl& d = *m_impl;
    d.changeFileProblems.clear();
    detail::FileSearch search;
    if (!Prepare(d, search)) return 0;
    // The replacements are made with the object's own compiled expression:
    // without one there is nothing sound to write.
    if (ParseExpression() != NoError) return 0;
    const auto flags = d.MatchFlags(false);

    d.changeCount = 0;
    d.currentChangeFile.clear();
    d.pendingChanges.clear();
    search.SetProblemCallback([&d](const FileSearchProblem& p) { ChangeSearchProblem(d, p); });
    {
        SnapshotScope snapshot(d, flags);
        ActiveScope active(this);
        BusyScope busy(d);
        try {
            search.Grep(d.filesToMatch, d.directoryRecursion, flags, &ChangeReport);
        } catch (...) {
            // The file being collected is not written.
            d.currentChangeFile.clear();
            d.pendingChanges.clear();
            throw;
        }
    }
    if (d.continueFiles || d.changeFileProblems.empty()) {
        WriteChangeFile(d);
    } else {
        d.currentChangeFile.clear();
        d.pendingChanges.clear();
    }
    return d.changeCount;
}

const std::vector<RegularExpression::FileSearchProblem>* RegularExpression::GetFindFilesErrors() const {
    return m_impl->findFileProblems.empty() ? nullptr : &m_impl->findFileProblems;
}

const std::vector<RegularExpression::FileSearchProblem>* RegularExpression::GetGrepFilesErrors() const {
    return m_impl->grepFileProblems.empty() ? nullptr : &m_impl->grepFileProblems;
}

const std::vector<RegularExpression::FileChangeProblem>* RegularExpression::GetChangeFilesErrors() const {
    return m_impl->changeFileProblems.empty() ? nullptr : &m_impl->changeFileProblems;
}

}  // namespace RegexClass
