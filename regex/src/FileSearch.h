#pragma once

// The file-search layer beneath FindFiles, GrepFiles and ChangeFiles: walks
// the files named by a pattern and runs one expression over each of them
// (the walk in FileWalk.cpp, the expression side in FileSearchEngine.cpp,
// the operating system beneath both in FileSystem.h).
//
// Pattern: a path whose last component may hold the wildcards `*` (any run
// of bytes, also empty) and `?` (one byte); the components before it are
// taken literally. A relative pattern is relative to the current directory.
// Names are compared byte for byte; `*` also matches a leading dot, while
// "." and ".." are never visited. With recursion the same last component is
// matched in every sub-directory below the pattern's directory.
//
// Order: within a directory the matching files sorted by name in byte order,
// then the sub-directories, sorted the same way, each walked completely.
// Reported names are the pattern's directory part as written followed by
// the path below it: pattern "dir/*.txt" reports "dir/a.txt" and
// "dir/sub/b.txt"; pattern "*.txt" reports "a.txt".
//
// What is visited: regular files only, symbolic links to regular files
// included. FIFOs, sockets and devices are passed over without being opened.
// A symbolic link to a directory is never followed while recursing, so a
// walk always ends.
//
// Each file is read whole into one buffer (reused from file to file) and the
// expression is run over those bytes, binary data included. Positions are
// 32-bit byte offsets from the start of the file, and 4294967295 stands for
// "took no part", so a file larger than 4294967295 bytes is not searched:
// it is recorded as a problem of kind 1 with EFBIG and skipped. A 32-bit
// process holds no file of 1 GiB or more (a string's largest size there): such a
// file is recorded as kind 1 with ENOMEM. (REMatch
// holds positions as 32-bit signed values: from 2 GB on they read as
// negative numbers and are meant as unsigned; ChangeFiles keeps them unsigned
// and so never writes at a wrong offset.)
//
// Problem records (RegularExpression::FileSearchProblem), detail the
// platform's error code (errno on POSIX, GetLastError() on Windows; the
// names below are the POSIX ones):
//   kind 0  the file or a directory of the walk cannot be opened (no
//           permission, dangling link, vanished during the walk). A directory is named as the walk names its files'
//           prefix, without the trailing slash.
//   kind 1  the file or a directory listing cannot be read, or the file is
//           too large to search (EFBIG) or to hold in memory (ENOMEM).
//   kind 2  the engine gave up on the file: its complexity or stack limit, or
//           memory, was exhausted while matching; detail 0. The matches
//           reported before it gave up stay reported. A file (or line) that
//           lacks the text every match requires is not given to the engine
//           at all, so the engine never gives up there.
// With continue-on-problems (the default) a problem is recorded and the
// walk goes on with the next file; without it the first problem ends the
// pass.

#include <vantrel/RegularExpression.h>

#include "LineCounter.h"
#include "RequiredText.h"

#include <boost/regex.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace RegexClass {
namespace detail {

enum FileSearchProblemKind : std::uint32_t {
    kSearchCannotOpen = 0,
    kSearchCannotRead = 1,
    kSearchEngineGaveUp = 2,
};

// The largest file the layer searches (every offset below it fits 32 bits
// without taking the "no position" value).
constexpr std::uint64_t kMaxSearchableFileSize = 0xFFFFFFFFull;

// Marks the position of a sub-expression that took no part.
constexpr std::uint32_t kNoPosition = 0xFFFFFFFFu;

// The traits the expression is compiled and matched with.
enum class SearchTraits { Cpp, Win32, C };

using FileMatchResults = boost::match_results<const char*>;

// One match as a grep callback sees it; valid during the callback only.
class FileMatch {
public:
    FileMatch(const char* fileStart, const FileMatchResults& results, LineCounter& lines)
        : m_fileStart(fileStart), m_results(&results), m_first(results[0].first), m_lines(lines)
    {
    }
    // A match of an expression that is plain text: entry 0 only.
    FileMatch(const char* fileStart, const char* first, const char* last, LineCounter& lines)
        : m_fileStart(fileStart), m_first(first), m_last(last), m_lines(lines)
    {
    }

    // Entry 0 is the whole match, then one per sub-expression.
    std::size_t Marks() const { return m_results ? m_results->size() : 1; }
    std::string Text(std::size_t i) const;
    // Byte offset from the start of the file, or kNoPosition.
    std::uint32_t Position(std::size_t i) const;
    // The line on which the match begins; the first line is 1.
    unsigned int Line() const { return m_lines.LineAt(m_first); }

private:
    const char* m_fileStart;
    const FileMatchResults* m_results = nullptr;
    const char* m_first = nullptr;
    const char* m_last = nullptr;
    LineCounter& m_lines;
};

// What a callback answers.
enum class SearchAnswer {
    Continue,  // go on
    SkipFile,  // nothing more of this file; go on with the next one
    Stop       // end the pass
};

class FileSearch {
public:
    using FindCallback = std::function<SearchAnswer(const std::string& fileName)>;
    using GrepCallback = std::function<SearchAnswer(const std::string& fileName, const FileMatch& match)>;
    // Told of each problem as it is recorded (the record is already in Problems()).
    using ProblemCallback = std::function<void(const RegularExpression::FileSearchProblem& problem)>;

    FileSearch();
    ~FileSearch();
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    // Takes effect at the next SetExpression. Default Cpp (the global locale).
    void SetTraits(SearchTraits traits);
    // Compiles with the engine's default (normal) syntax, case-insensitive on
    // request. False when the engine rejects the expression (or cannot make
    // its traits); the layer then finds nothing.
    bool SetExpression(const std::string& expression, bool ignoreCase);
    bool HasExpression() const;
    // The text the layer looks for before running the engine ("" = none).
    const std::string& LiteralScan() const { return m_prefix; }
    // Without such a text: what every match contains; bytes without any of it
    // are not handed to the engine (the file, or the line when a match cannot
    // span lines).
    const RequiredText& Required() const { return m_required; }
    void SetContinueOnProblems(bool continueOnProblems);  // default true
    void SetProblemCallback(ProblemCallback callback);

    // Calls back once per file that holds a match; returns the number of such files.
    unsigned int Find(const std::string& pattern, bool recurse, boost::regex_constants::match_flag_type flags,
                      const FindCallback& callback);
    // Calls back once per match, in file order and within a file in match
    // order; returns the number of matches reported.
    unsigned int Grep(const std::string& pattern, bool recurse, boost::regex_constants::match_flag_type flags,
                      const GrepCallback& callback);

    // As Grep, over bytes already in memory that stand for the file `fileName`.
    unsigned int GrepBytes(const std::string& fileName, const char* first, const char* last,
                           boost::regex_constants::match_flag_type flags, const GrepCallback& callback);

    // The problems of the last pass, in the order they arose.
    const std::vector<RegularExpression::FileSearchProblem>& Problems() const { return m_problems; }

    // An exception thrown by a callback leaves Find or Grep unchanged, after
    // the files and directories of the walk are closed.

    class Engine;  // the compiled expression, one of three traits types
    struct Walk;

private:
    SearchTraits m_traits = SearchTraits::Cpp;
    std::unique_ptr<Engine> m_engine;
    std::string m_prefix;      // LiteralPrefix of the expression, when case matters
    bool m_plainText = false;  // the expression is m_prefix and nothing else
    RequiredText m_required;   // used when m_prefix is empty
    ByteTranslation m_translation{};
    bool m_continueOnProblems = true;
    ProblemCallback m_problemCallback;
    std::vector<RegularExpression::FileSearchProblem> m_problems;
};

// True when `name` matches the wildcard pattern (`*`, `?`; byte for byte).
bool WildcardMatch(const std::string& pattern, const std::string& name);

// The plain text that every match of `expression` (default syntax, case
// sensitive) starts with, or "" when there is none that is sure: the layer
// looks for it with memmem and runs the engine only where it occurs.
std::string LiteralPrefix(const std::string& expression);

}  // namespace detail
}  // namespace RegexClass
