#pragma once

// The file-search layer beneath FindFiles, GrepFiles and ChangeFiles: walks
// the files named by a pattern and runs one expression over each of them
// (the walk in FileWalk.cpp, the expression side in FileSearchEngine.cpp,
// the operating system beneath both in FileSystem.h).
//
// The pattern syntax, the walk order, which files are visited and the problem
// records are the interface's: see its "files" section and FileSearchProblem in
// <vantrel/RegularExpression.h>. What the layer adds:
//   - Each file is read whole into one buffer, reused from file to file, and
//     searched as bytes.
//   - Positions are 32-bit offsets with kNoPosition for "took no part", which
//     is why kMaxSearchableFileSize is the limit. ChangeFiles keeps them
//     unsigned, so it never writes at a wrong offset where REMatch shows a
//     negative number.
//   - Bytes that lack the text every match requires (the file, or the line
//     when a match cannot span lines) are not handed to the engine, so the
//     engine never gives up there.

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
