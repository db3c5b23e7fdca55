// The walk over the files of a pattern and the search inside each file.

#include "FileSearch.h"

#include "EngineFlags.h"
#include "RegularExpressionImpl.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegexClass {
namespace detail {

namespace rc = boost::regex_constants;
using Problem = RegularExpression::FileSearchProblem;

// ------------------------------------------------------------------ FileMatch

std::string FileMatch::Text(std::size_t i) const {
    if (!m_results) return i == 0 ? std::string(m_first, m_last) : std::string();
    if (i >= m_results->size() || !(*m_results)[i].matched) return std::string();
    return std::string((*m_results)[i].first, (*m_results)[i].second);
}

std::uint32_t FileMatch::Position(std::size_t i) const {
    if (!m_results) return i == 0 ? static_cast<std::uint32_t>(m_first - m_fileStart) : kNoPosition;
    if (i >= m_results->size() || !(*m_results)[i].matched) return kNoPosition;
    return static_cast<std::uint32_t>((*m_results)[i].first - m_fileStart);
}

// --------------------------------------------------------------------- engine

class FileSearch::Engine {
public:
    using Step = std::function<bool(const FileMatchResults&)>;
    virtual ~Engine() = default;
    virtual bool Search(const char* first, const char* last, FileMatchResults& results,
                        rc::match_flag_type flags) const = 0;
    virtual void Grep(const char* first, const char* last, rc::match_flag_type flags, const Step& step) const = 0;
    // A match that starts exactly at `at`; `first` is the start of the file.
    virtual bool MatchAt(const char* first, const char* at, const char* last, FileMatchResults& results,
                         rc::match_flag_type flags) const = 0;
    // LiteralPrefix(expression), kept only when these traits read its characters the same way.
    virtual std::string SurePrefix(const std::string& expression) const = 0;
};

namespace {

// Syntax types that the default syntax acts on outside brackets; every other
// character (letters map to escape types) stands for itself there.
bool IsActive(rc::syntax_type type) {
    switch (type) {
    case rc::syntax_open_mark: case rc::syntax_close_mark: case rc::syntax_dollar: case rc::syntax_caret:
    case rc::syntax_dot: case rc::syntax_star: case rc::syntax_plus: case rc::syntax_question:
    case rc::syntax_open_set: case rc::syntax_or: case rc::syntax_escape: case rc::syntax_hash:
    case rc::syntax_open_brace: case rc::syntax_close_brace: case rc::syntax_newline:
        return true;
    default:
        return false;
    }
}

template <class Regex>
class EngineOf : public FileSearch::Engine {
public:
    EngineOf(const std::string& expression, rc::syntax_option_type syntax) : m_regex(expression, syntax) {}

    bool Search(const char* first, const char* last, FileMatchResults& results,
                rc::match_flag_type flags) const override {
        return boost::regex_search(first, last, results, m_regex, flags);
    }
    void Grep(const char* first, const char* last, rc::match_flag_type flags, const Step& step) const override {
        // regex_grep copies its predicate; the step stays behind a reference.
        boost::regex_grep([&step](const FileMatchResults& m) { return step(m); }, first, last, m_regex, flags);
    }
    bool MatchAt(const char* first, const char* at, const char* last, FileMatchResults& results,
                 rc::match_flag_type flags) const override {
        flags |= rc::match_continuous;
        if (at != first) flags |= rc::match_prev_avail;
        return boost::regex_search(at, last, results, m_regex, flags, first);
    }
    std::string SurePrefix(const std::string& expression) const override {
        // A message catalogue may give other characters a syntax meaning.
        const auto& traits = m_regex.get_traits();
        for (char c : expression)
            if (traits.syntax_type(c) == rc::syntax_or) return std::string();
        std::string prefix = LiteralPrefix(expression);
        for (char c : prefix)
            if (IsActive(traits.syntax_type(c))) return std::string();
        if (!prefix.empty() && prefix.size() < expression.size()) {
            rc::syntax_type next = traits.syntax_type(expression[prefix.size()]);
            if (next == rc::syntax_star || next == rc::syntax_plus || next == rc::syntax_question ||
                next == rc::syntax_open_brace)
                prefix.pop_back();
        }
        return prefix;
    }

private:
    Regex m_regex;
};

// Closes a descriptor on every path.
class FdGuard {
public:
    explicit FdGuard(int fd) : m_fd(fd) {}
    ~FdGuard() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    int get() const { return m_fd; }
    int release() {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

struct Entry {
    std::string name;
    unsigned char type;
};

}  // namespace

std::string LiteralPrefix(const std::string& expression) {
    // Alternation anywhere could offer a match without the prefix.
    if (expression.find('|') != std::string::npos) return std::string();
    static const char kPlain[] = " _-,;:'\"<>=/!@%&~`";
    std::string prefix;
    std::size_t i = 0;
    for (; i < expression.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(expression[i]);
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     (c != 0 && std::strchr(kPlain, c) != nullptr);
        if (!plain) break;
        prefix += static_cast<char>(c);
    }
    // A repeat applies to the last character, which may then be absent.
    if (i < expression.size() && std::strchr("*+?{", expression[i]) && !prefix.empty()) prefix.pop_back();
    return prefix;
}

namespace {

// The next occurrence of `needle` in [from, last), or null.
const char* FindText(const std::string& needle, const char* from, const char* last) {
    if (from >= last) return nullptr;
    if (needle.size() == 1)
        return static_cast<const char*>(std::memchr(from, needle[0], static_cast<std::size_t>(last - from)));
    return static_cast<const char*>(
        ::memmem(from, static_cast<std::size_t>(last - from), needle.data(), needle.size()));
}

}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || (pattern[p] != '*' && pattern[p] == name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

// ----------------------------------------------------------------------- walk

struct FileSearch::Walk {
    Walk(FileSearch& owner_, bool recurse_, rc::match_flag_type flags_, const FindCallback* find_,
         const GrepCallback* grep_)
        : owner(owner_), recurse(recurse_), flags(flags_), find(find_), grep(grep_) {}

    FileSearch& owner;
    std::string namePattern;
    bool recurse;
    rc::match_flag_type flags;
    const FindCallback* find;
    const GrepCallback* grep;

    std::string literal;   // what every match starts with; empty: the engine scans on its own
    bool plainText = false;   // the expression is `literal` alone: no engine needed
    unsigned int count = 0;
    bool stopped = false;
    std::exception_ptr callbackException;

    std::unique_ptr<char[]> buffer;
    std::size_t capacity = 0;

    // Records a problem; false when it ends the pass.
    bool Record(const std::string& name, std::uint32_t kind, std::uint32_t detail) {
        owner.m_problems.push_back(Problem{name, kind, detail});
        if (owner.m_problemCallback) owner.m_problemCallback(owner.m_problems.back());
        if (!owner.m_continueOnProblems) stopped = true;
        return !stopped;
    }

    // Makes room for `size` bytes, keeping the first `keep`; errno on failure.
    int Reserve(std::size_t size, std::size_t keep) {
        if (size <= capacity) return 0;
        try {
            std::unique_ptr<char[]> bigger(new char[size]);
            if (keep) std::memcpy(bigger.get(), buffer.get(), keep);
            buffer = std::move(bigger);
            capacity = size;
            return 0;
        } catch (const std::bad_alloc&) {
            return ENOMEM;
        }
    }

    // Reads the whole file into the buffer; errno on failure.
    int ReadWhole(int fd, std::uint64_t sizeHint, std::size_t& length) {
        length = 0;
        // One byte more than the size so that the end shows without growing.
        int error = Reserve(static_cast<std::size_t>(std::max<std::uint64_t>(sizeHint + 1, 4096)), 0);
        if (error) return error;
        for (;;) {
            if (length == capacity) {
                // The file grew while being read.
                if (length > kMaxSearchableFileSize) return EFBIG;
                std::uint64_t next = std::min<std::uint64_t>(std::uint64_t(capacity) * 2, kMaxSearchableFileSize + 1);
                if ((error = Reserve(static_cast<std::size_t>(next), length))) return error;
            }
            ssize_t n = ::read(fd, buffer.get() + length, capacity - length);
            if (n < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            if (n == 0) break;
            length += static_cast<std::size_t>(n);
        }
        return length > kMaxSearchableFileSize ? EFBIG : 0;
    }

    SearchAnswer Call(const std::function<SearchAnswer()>& call) {
        try {
            return call();
        } catch (...) {
            callbackException = std::current_exception();
            return SearchAnswer::Stop;
        }
    }

    // The leftmost match in [from, last) of the file [first, last).
    bool Search(const char* first, const char* from, const char* last, FileMatchResults& results) {
        const Engine& engine = *owner.m_engine;
        if (literal.empty()) {
            if (from == first) return engine.Search(first, last, results, flags);
            return engine.Search(from, last, results, flags | rc::match_prev_avail);
        }
        for (const char* at = from; (at = FindText(literal, at, last)) != nullptr; ++at) {
            if (engine.MatchAt(first, at, last, results, flags)) return true;
        }
        return false;
    }

    // Runs the expression over one file's bytes; false when the pass ends.
    bool SearchBytes(const std::string& fileName, const char* first, const char* last) {
        const Engine& engine = *owner.m_engine;
        try {
            LineCounter lines(first);
            // Reports one match; false when nothing more of this file is wanted.
            auto report = [&](const FileMatch& match) {
                ++count;
                SearchAnswer answer = Call([&] { return (*grep)(fileName, match); });
                if (answer == SearchAnswer::Stop) stopped = true;
                return answer == SearchAnswer::Continue;
            };
            if (find) {
                FileMatchResults results;
                bool found = plainText ? FindText(literal, first, last) != nullptr : Search(first, first, last, results);
                if (found) {
                    ++count;
                    if (Call([&] { return (*find)(fileName); }) == SearchAnswer::Stop) stopped = true;
                }
            } else if (plainText) {
                // The expression is plain text: its matches are the text's
                // occurrences, left to right, without overlap.
                const std::size_t size = literal.size();
                for (const char* at = first; (at = FindText(literal, at, last)) != nullptr; at += size) {
                    if (!report(FileMatch(first, at, at + size, lines))) break;
                }
            } else if (literal.empty()) {
                engine.Grep(first, last, flags, [&](const FileMatchResults& m) {
                    return report(FileMatch(first, m, lines));
                });
            } else {
                // Matches start with the prefix and never overlap: the same
                // matches as the engine's grep, found faster.
                FileMatchResults results;
                for (const char* from = first; Search(first, from, last, results); from = results[0].second) {
                    if (!report(FileMatch(first, results, lines))) break;
                }
            }
        } catch (const std::runtime_error&) {
            // The engine's complexity or stack limit.
            if (callbackException) std::rethrow_exception(callbackException);
            return Record(fileName, kSearchEngineGaveUp, 0);
        } catch (const std::bad_alloc&) {
            if (callbackException) std::rethrow_exception(callbackException);
            return Record(fileName, kSearchEngineGaveUp, 0);
        }
        if (callbackException) std::rethrow_exception(callbackException);
        return !stopped;
    }

    bool SearchFile(int dirFd, const Entry& entry, const std::string& fileName) {
        if (entry.type != DT_REG) {
            if (entry.type != DT_LNK && entry.type != DT_UNKNOWN) return true;   // FIFO, device, directory...
            struct stat st;
            if (::fstatat(dirFd, entry.name.c_str(), &st, 0) != 0) return Record(fileName, kSearchCannotOpen, errno);
            if (!S_ISREG(st.st_mode)) return true;
        }
        FdGuard fd(::openat(dirFd, entry.name.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
        if (fd.get() < 0) return Record(fileName, kSearchCannotOpen, errno);
        struct stat st;
        if (::fstat(fd.get(), &st) != 0) return Record(fileName, kSearchCannotRead, errno);
        if (!S_ISREG(st.st_mode)) return true;   // replaced since it was listed
        if (static_cast<std::uint64_t>(st.st_size) > kMaxSearchableFileSize)
            return Record(fileName, kSearchCannotRead, EFBIG);
        std::size_t length = 0;
        if (int error = ReadWhole(fd.get(), static_cast<std::uint64_t>(st.st_size), length))
            return Record(fileName, kSearchCannotRead, static_cast<std::uint32_t>(error));
        ::close(fd.release());
        return SearchBytes(fileName, buffer.get(), buffer.get() + length);
    }

    // Walks one directory (takes over `fd`); false when the pass ends.
    bool WalkDirectory(int fd, const std::string& prefix) {
        const std::string shownName = prefix.empty() ? std::string(".")
                                      : prefix.size() > 1 ? prefix.substr(0, prefix.size() - 1)
                                                          : prefix;
        std::unique_ptr<DIR, DirCloser> dir(::fdopendir(fd));
        if (!dir) {
            int error = errno;
            ::close(fd);
            return Record(shownName, kSearchCannotOpen, error);
        }
        std::vector<Entry> entries;
        for (;;) {
            errno = 0;
            const dirent* e = ::readdir(dir.get());
            if (!e) {
                if (errno != 0 && !Record(shownName, kSearchCannotRead, errno)) return false;
                break;
            }
            if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
            entries.push_back(Entry{e->d_name, e->d_type});
        }
        std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
        const int dirFd = ::dirfd(dir.get());

        for (const Entry& entry : entries) {
            if (!WildcardMatch(namePattern, entry.name)) continue;
            if (!SearchFile(dirFd, entry, prefix + entry.name)) return false;
        }
        if (!recurse) return true;
        for (const Entry& entry : entries) {
            if (entry.type != DT_DIR) {
                if (entry.type != DT_UNKNOWN) continue;
                struct stat st;
                if (::fstatat(dirFd, entry.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode))
                    continue;
            }
            const std::string sub = prefix + entry.name + "/";
            int subFd = ::openat(dirFd, entry.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (subFd < 0) {
                // Replaced by a link or a file since it was listed: not a directory to walk.
                if (errno == ELOOP || errno == ENOTDIR) continue;
                if (!Record(prefix + entry.name, kSearchCannotOpen, errno)) return false;
                continue;
            }
            if (!WalkDirectory(subFd, sub)) return false;
        }
        return true;
    }

    void Run(const std::string& pattern) {
        std::string::size_type slash = pattern.rfind('/');
        std::string prefix = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
        namePattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
        if (namePattern.empty()) return;
        // A continuous match must start where the last one ended: the engine's own scan.
        if ((flags & rc::match_continuous) == 0) {
            literal = owner.m_prefix;
            plainText = owner.m_plainText;
        }
        int fd = ::open(prefix.empty() ? "." : prefix.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            Record(prefix.size() > 1 ? prefix.substr(0, prefix.size() - 1) : prefix.empty() ? "." : prefix,
                   kSearchCannotOpen, errno);
            return;
        }
        WalkDirectory(fd, prefix);
    }
};

// ----------------------------------------------------------------- FileSearch

FileSearch::FileSearch() = default;
FileSearch::~FileSearch() = default;

void FileSearch::SetTraits(SearchTraits traits) { m_traits = traits; }

bool FileSearch::SetExpression(const std::string& expression, bool ignoreCase) {
    m_engine.reset();
    m_prefix.clear();
    m_plainText = false;
    // The engine's default syntax: the classic "normal" family.
    std::uint32_t classic = kEscapeInLists | kCharClasses | kIntervals | kBkRefs | kNoCollate | kUseExcept;
    if (ignoreCase) classic |= kIcase;
    const rc::syntax_option_type syntax = EngineSyntaxFlags(classic);
    try {
        switch (m_traits) {
        case SearchTraits::Win32: m_engine.reset(new EngineOf<Win32Regex>(expression, syntax)); break;
        case SearchTraits::C: m_engine.reset(new EngineOf<CRegex>(expression, syntax)); break;
        default: m_engine.reset(new EngineOf<CppRegex>(expression, syntax)); break;
        }
    } catch (const std::exception&) {
        // A rejected expression, or traits whose catalogue cannot be opened.
        m_engine.reset();
    }
    if (m_engine && !ignoreCase) {
        m_prefix = m_engine->SurePrefix(expression);
        m_plainText = !m_prefix.empty() && m_prefix == expression;
        // A short prefix is found faster by the engine's own scan.
        if (m_prefix.size() < 3 && !m_plainText) m_prefix.clear();
    }
    return m_engine != nullptr;
}

bool FileSearch::HasExpression() const { return m_engine != nullptr; }

void FileSearch::SetContinueOnProblems(bool continueOnProblems) { m_continueOnProblems = continueOnProblems; }

void FileSearch::SetProblemCallback(ProblemCallback callback) { m_problemCallback = std::move(callback); }

unsigned int FileSearch::Find(const std::string& pattern, bool recurse, rc::match_flag_type flags,
                              const FindCallback& callback) {
    m_problems.clear();
    if (!m_engine || pattern.empty()) return 0;
    Walk walk(*this, recurse, flags, &callback, nullptr);
    walk.Run(pattern);
    return walk.count;
}

unsigned int FileSearch::Grep(const std::string& pattern, bool recurse, rc::match_flag_type flags,
                              const GrepCallback& callback) {
    m_problems.clear();
    if (!m_engine || pattern.empty()) return 0;
    Walk walk(*this, recurse, flags, nullptr, &callback);
    walk.Run(pattern);
    return walk.count;
}

}  // namespace detail
}  // namespace RegexClass
