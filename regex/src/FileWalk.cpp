// The walk over the files of a pattern: which files, in which order, read
// whole, handed to the engine one after the other.

#include "FileSearchEngine.h"
#include "FileSystem.h"
#include "TextScan.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <stdexcept>

namespace RegexClass {
namespace detail {

namespace rc = boost::regex_constants;

// The largest file held in memory: its offsets fit 32 bits, and any match in it
// fits one string (below 1 GiB in a 32-bit process).
const std::uint64_t kMaxHeldFileSize = std::min<std::uint64_t>(kMaxSearchableFileSize, std::string().max_size());

using Problem = RegularExpression::FileSearchProblem;

bool WildcardMatch(const std::string& pattern, const std::string& name)
{
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
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

struct FileSearch::Walk {
    Walk(FileSearch& owner_, bool recurse_, rc::match_flag_type flags_, const FindCallback* find_,
         const GrepCallback* grep_)
        : owner(owner_), recurse(recurse_), flags(flags_), find(find_), grep(grep_)
    {
    }

    FileSearch& owner;
    std::string namePattern;
    bool recurse;
    rc::match_flag_type flags;
    const FindCallback* find;
    const GrepCallback* grep;

    std::string literal;     // what every match starts with; empty: the engine scans on its own
    bool plainText = false;  // the expression is `literal` alone: no engine needed
    // Without `literal`: finds what every match holds, per file or per line.
    std::unique_ptr<TextScan> required;
    bool withinLine = false;
    bool lineScan = false;  // withinLine, and worth it in the current file

    // Whether most lines of the first 4 KB of a larger [first, last) hold a
    // required literal: then one engine pass over the whole file costs less
    // than one engine call per line.
    bool Dense(const char* first, const char* last)
    {
        constexpr std::size_t kSample = 4096;
        if (static_cast<std::size_t>(last - first) <= kSample)
            return false;
        const char* end = first + kSample;
        required->Reset(end);
        std::size_t lines = 1, candidates = 0;
        for (const char* at = first; at != end; ++at)
            lines += *at == '\n';
        for (const char* at = first; at && (at = required->Next(at)) != nullptr;) {
            ++candidates;
            at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
            if (at)
                ++at;
        }
        return candidates * 2 > lines;
    }
    unsigned int count = 0;
    bool stopped = false;
    std::exception_ptr callbackException;

    std::unique_ptr<char[]> buffer;
    std::size_t capacity = 0;

    // Records a problem; false when it ends the pass.
    bool Record(const std::string& name, Problem::Kind kind, std::uint32_t detail)
    {
        owner.m_problems.push_back(Problem{name, kind, detail});
        if (owner.m_problemCallback)
            owner.m_problemCallback(owner.m_problems.back());
        if (!owner.m_continueOnProblems)
            stopped = true;
        return !stopped;
    }
    bool Record(const std::string& name, Problem::Kind kind, int error)
    {
        return Record(name, kind, static_cast<std::uint32_t>(error));
    }

    // Makes room for `size` bytes, keeping the first `keep`; an error code on failure.
    int Reserve(std::size_t size, std::size_t keep)
    {
        if (size <= capacity)
            return 0;
        try {
            std::unique_ptr<char[]> bigger(new char[size]);
            if (keep)
                std::memcpy(bigger.get(), buffer.get(), keep);
            buffer = std::move(bigger);
            capacity = size;
            return 0;
        } catch (const std::bad_alloc&) {
            return os::ErrorCode(os::Condition::NoMemory);
        }
    }

    // Reads the whole file into the buffer; an error code on failure.
    int ReadWhole(os::File& file, std::uint64_t sizeHint, std::size_t& length)
    {
        length = 0;
        // One byte more than the size so that the end shows without growing.
        int error = Reserve(static_cast<std::size_t>(std::max<std::uint64_t>(sizeHint + 1, 4096)), 0);
        if (error)
            return error;
        for (;;) {
            if (length == capacity) {
                // The file grew while being read.
                if (length > kMaxHeldFileSize)
                    return os::ErrorCode(length > kMaxSearchableFileSize ? os::Condition::TooLarge
                                                                         : os::Condition::NoMemory);
                std::uint64_t next = std::min<std::uint64_t>(std::uint64_t(capacity) * 2, kMaxHeldFileSize + 1);
                if ((error = Reserve(static_cast<std::size_t>(next), length)))
                    return error;
            }
            std::size_t got = 0;
            if ((error = os::ReadFully(file, buffer.get() + length, capacity - length, got)))
                return error;
            length += got;
            if (length < capacity)
                break;  // the end came first
        }
        if (length > kMaxSearchableFileSize)
            return os::ErrorCode(os::Condition::TooLarge);
        return length > kMaxHeldFileSize ? os::ErrorCode(os::Condition::NoMemory) : 0;
    }

    SearchAnswer Call(const std::function<SearchAnswer()>& call)
    {
        try {
            return call();
        } catch (...) {
            callbackException = std::current_exception();
            return SearchAnswer::Stop;
        }
    }

    // The leftmost match in [from, last) of the file [first, last).
    bool Search(const char* first, const char* from, const char* last, FileMatchResults& results)
    {
        const Engine& engine = *owner.m_engine;
        if (lineScan) {
            // Only lines that hold a required literal can hold a match; the
            // engine sees each such line with the file around it, so that
            // assertions read the same characters as in a search of the file.
            for (const char* at = from; (at = required->Next(at)) != nullptr;) {
                const char* lineStart = at;
                while (lineStart > from && lineStart[-1] != '\n')
                    --lineStart;
                const char* newline =
                    static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(last - at)));
                const char* lineEnd = newline ? newline + 1 : last;
                if (engine.SearchFrom(first, lineStart, lineEnd, results, flags))
                    return true;
                at = lineEnd;
            }
            return false;
        }
        if (literal.empty()) {
            if (from == first)
                return engine.Search(first, last, results, flags);
            return engine.Search(from, last, results, flags | rc::match_prev_avail);
        }
        for (const char* at = from; (at = FindText(literal, at, last)) != nullptr; ++at) {
            if (engine.MatchAt(first, at, last, results, flags))
                return true;
        }
        return false;
    }

    // Runs the expression over one file's bytes; false when the pass ends.
    bool SearchBytes(const std::string& fileName, const char* first, const char* last)
    {
        const Engine& engine = *owner.m_engine;
        try {
            lineScan = withinLine;
            if (required) {
                required->Reset(last);
                if (!required->Next(first))
                    return !stopped;  // no match can lie in this file
                lineScan = withinLine && !Dense(first, last);
                required->Reset(last);
            }
            LineCounter lines(first);
            // Reports one match; false when nothing more of this file is wanted.
            auto report = [&](const FileMatch& match) {
                ++count;
                SearchAnswer answer = Call([&] { return (*grep)(fileName, match); });
                if (answer == SearchAnswer::Stop)
                    stopped = true;
                return answer == SearchAnswer::Continue;
            };
            if (find) {
                FileMatchResults results;
                bool found =
                    plainText ? FindText(literal, first, last) != nullptr : Search(first, first, last, results);
                if (found) {
                    ++count;
                    if (Call([&] { return (*find)(fileName); }) == SearchAnswer::Stop)
                        stopped = true;
                }
            } else if (plainText) {
                // The expression is plain text: its matches are the text's
                // occurrences, left to right, without overlap.
                const std::size_t size = literal.size();
                for (const char* at = first; (at = FindText(literal, at, last)) != nullptr; at += size) {
                    if (!report(FileMatch(first, at, at + size, lines)))
                        break;
                }
            } else if (literal.empty() && !lineScan) {
                engine.Grep(first, last, flags,
                            [&](const FileMatchResults& m) { return report(FileMatch(first, m, lines)); });
            } else {
                // Matches hold a required text (start with the prefix, or
                // lie in a line with a required literal) and so are never
                // empty: one search after the other gives the engine's grep.
                FileMatchResults results;
                for (const char* from = first; Search(first, from, last, results); from = results[0].second) {
                    if (!report(FileMatch(first, results, lines)))
                        break;
                }
            }
        } catch (const std::runtime_error&) {
            // The engine's complexity or stack limit.
            if (callbackException)
                std::rethrow_exception(callbackException);
            return Record(fileName, Problem::EngineGaveUp, 0u);
        } catch (const std::bad_alloc&) {
            if (callbackException)
                std::rethrow_exception(callbackException);
            return Record(fileName, Problem::EngineGaveUp, 0u);
        }
        if (callbackException)
            std::rethrow_exception(callbackException);
        return !stopped;
    }

    bool SearchFile(const os::DirectoryEntry& entry, const std::string& fileName)
    {
        if (entry.type != os::FileType::Regular) {
            // FIFOs, devices and directories are never opened.
            if (entry.type != os::FileType::SymbolicLink && entry.type != os::FileType::Unknown)
                return true;
            os::FileStatus status;
            if (int error = os::GetStatus(fileName, true, status))
                return Record(fileName, Problem::Open, error);
            if (status.type != os::FileType::Regular)
                return true;
        }
        os::File file;
        if (int error = os::OpenForReading(fileName, file))
            return Record(fileName, Problem::Open, error);
        os::FileStatus status;
        if (int error = os::GetStatus(file, status))
            return Record(fileName, Problem::Read, error);
        if (status.type != os::FileType::Regular)
            return true;  // replaced since it was listed
        if (status.size > kMaxSearchableFileSize)
            return Record(fileName, Problem::Read, os::ErrorCode(os::Condition::TooLarge));
        if (status.size > kMaxHeldFileSize)
            return Record(fileName, Problem::Read, os::ErrorCode(os::Condition::NoMemory));
        std::size_t length = 0;
        if (int error = ReadWhole(file, status.size, length))
            return Record(fileName, Problem::Read, error);
        file.Close();
        return SearchBytes(fileName, buffer.get(), buffer.get() + length);
    }

    // Walks the directory that `prefix` names ("" for the current one); a
    // sub-directory that is a link is not followed. False when the pass ends.
    bool WalkDirectory(const std::string& prefix, bool noFollow)
    {
        const std::string shownName = prefix.empty() ? std::string(".")
            : prefix.size() > 1                      ? prefix.substr(0, prefix.size() - 1)
                                                     : prefix;
        std::vector<os::DirectoryEntry> entries;
        int error = 0;
        switch (os::ListDirectory(prefix.empty() ? std::string(".") : prefix, noFollow, entries, error)) {
        case os::Listing::Complete:
            break;
        case os::Listing::NotADirectory:
            return true;
        case os::Listing::CannotOpen:
            return Record(shownName, Problem::Open, error);
        case os::Listing::CannotRead:
            if (!Record(shownName, Problem::Read, error))
                return false;
            break;
        }
        std::sort(entries.begin(), entries.end(),
                  [](const os::DirectoryEntry& a, const os::DirectoryEntry& b) { return a.name < b.name; });

        for (const os::DirectoryEntry& entry : entries) {
            if (!WildcardMatch(namePattern, entry.name))
                continue;
            if (!SearchFile(entry, prefix + entry.name))
                return false;
        }
        if (!recurse)
            return true;
        for (const os::DirectoryEntry& entry : entries) {
            if (entry.type != os::FileType::Directory) {
                if (entry.type != os::FileType::Unknown)
                    continue;
                os::FileStatus status;
                if (os::GetStatus(prefix + entry.name, false, status) != 0 || status.type != os::FileType::Directory)
                    continue;
            }
            if (!WalkDirectory(prefix + entry.name + os::kPathSeparator, true))
                return false;
        }
        return true;
    }

    void Run(const std::string& pattern)
    {
        std::string::size_type slash = os::LastSeparator(pattern);
        std::string prefix = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
        namePattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
        if (namePattern.empty())
            return;
        ChooseScan();
        // The pattern's own directory may be reached through a link.
        WalkDirectory(prefix, false);
    }

    // What the walk looks for before it runs the engine.
    void ChooseScan()
    {
        // A continuous match must start where the last one ended: the engine's own scan.
        if ((flags & rc::match_continuous) == 0) {
            literal = owner.m_prefix;
            plainText = owner.m_plainText;
            const RequiredText& text = owner.m_required;
            if (literal.empty() && !text.literals.empty()) {
                required.reset(new TextScan(text.literals, owner.m_translation));
                withinLine = text.withinLine;
            }
        }
    }
};

void FileSearch::SetContinueOnProblems(bool continueOnProblems)
{
    m_continueOnProblems = continueOnProblems;
}

void FileSearch::SetProblemCallback(ProblemCallback callback)
{
    m_problemCallback = std::move(callback);
}

unsigned int FileSearch::Find(const std::string& pattern, bool recurse, rc::match_flag_type flags,
                              const FindCallback& callback)
{
    m_problems.clear();
    if (!m_engine || pattern.empty())
        return 0;
    Walk walk(*this, recurse, flags, &callback, nullptr);
    walk.Run(pattern);
    return walk.count;
}

unsigned int FileSearch::GrepBytes(const std::string& fileName, const char* first, const char* last,
                                   rc::match_flag_type flags, const GrepCallback& callback)
{
    m_problems.clear();
    if (!m_engine)
        return 0;
    Walk walk(*this, false, flags, nullptr, &callback);
    walk.ChooseScan();
    walk.SearchBytes(fileName, first, last);
    return walk.count;
}

unsigned int FileSearch::Grep(const std::string& pattern, bool recurse, rc::match_flag_type flags,
                              const GrepCallback& callback)
{
    m_problems.clear();
    if (!m_engine || pattern.empty())
        return 0;
    Walk walk(*this, recurse, flags, nullptr, &callback);
    walk.Run(pattern);
    return walk.count;
}

}  // namespace detail
}  // namespace RegexClass
