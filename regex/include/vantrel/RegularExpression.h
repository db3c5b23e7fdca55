#pragma once

// Vantrel: one class, RegularExpression, around Boost.Regex.
//
//   RegexClass::RegularExpression re;
//   re.SetExpression("<a([^>]*)>");
//   re.AddExpressionOption(RegexClass::RegularExpression::IgnoreCase);
//   re.SetStringToMatch(page);
//   re.SetOnGrepping(&OnAnchor);   // called once per match
//   unsigned int anchors = re.Grep();
//
// A caller configures an object (expression, option sets, subject, format
// string, file pattern, flags, locale) and runs operations on it. Matches are
// reported through callbacks, either plain functions or closures; every
// operation that needs the expression compiles it first and caches the result
// until a setting that affects it changes. Failures are reported by results
// (bool, counts, ExpressionErrorCode, problem lists), never by exceptions of
// the component's own. The engine's runtime limits (an expression too complex
// for a subject) do surface as the engine's std::runtime_error; the object
// stays usable afterwards.
//
// An object is used by one thread at a time. Different objects may be used by
// different threads at once.

#include <vantrel/Export.h>

#include <boost/function.hpp>

#include <cstdint>
#include <iosfwd>
#include <locale>
#include <memory>
#include <string>
#include <vector>

#if defined(_WIN32)
#  define VANTREL_CALLBACK __stdcall
#else
#  define VANTREL_CALLBACK
#endif

namespace RegexClass {

// One sub-expression of a match. A part that did not take part has empty text
// and position -1. Positions count bytes from the start of the searched text.
struct REMatch {
    std::string text;
    std::int32_t position;
};

class RegularExpressionImpl;

class VANTREL_API RegularExpression {
public:
    // ---------------------------------------------------------------- enumerations

    // Compile options. 0 to 12 are single engine syntax flags; 13 to 21 are
    // syntax families (a fixed set of single options). At most one family is
    // in the set, and the components of a family present are present too.
    enum Options : int {
        EscapeInLists = 0,   // '\' is an escape inside [...]
        CharClasses = 1,     // [[:alpha:]] and friends
        Intervals = 2,       // {n,m}
        LimitedOps = 3,      // no + ? |
        NewlineAlt = 4,      // a newline separates alternatives
        BkPlusQm = 5,        // \+ and \? are the operators
        BkBraces = 6,        // \{ \} are the interval braces
        BkParens = 7,        // \( \) are the group parentheses
        BkRefs = 8,          // \1 back-references
        BkVbar = 9,          // \| is alternation
        Literal = 10,        // the expression is a plain text
        IgnoreCase = 11,     // case-insensitive
        NoCollate = 12,      // ranges by code, not by collation
        SyntaxBasic = 13,    // {1, 2, 3, 6, 7, 8}
        SyntaxExtended = 14, // {1, 2, 8}
        SyntaxNormal = 15,   // {0, 1, 2, 8, 12}  (the default family)
        SyntaxEmacs = 16,    // {6, 7, 8, 9}
        SyntaxAwk = 17,      // {0, 1, 2, 8}
        SyntaxGrep = 18,     // {1, 2, 3, 4, 6, 7, 8}
        SyntaxEgrep = 19,    // {1, 2, 4, 8}
        SyntaxSed = 20,      // synonym of SyntaxBasic
        SyntaxPerl = 21      // synonym of SyntaxNormal
    };

    // Match options. MatchDefault excludes 1 to 8.
    enum Matches : int {
        MatchDefault = 0,
        MatchNotBol = 1,
        MatchNotEol = 2,
        MatchNotBob = 3,
        MatchNotEob = 4,
        MatchNotBow = 5,
        MatchNotEow = 6,
        MatchNotDotNewline = 7,
        MatchNotDotNull = 8,
        MatchAny = 9,
        MatchNotNull = 10,
        MatchContinuous = 11,
        MatchPartial = 12    // honoured by Match, MatchAll, Search and Grep only
    };

    // Format-string syntax of Merge, Format and ChangeFiles.
    enum FormatTypes : int {
        FormatTypeAll = 0,   // the engine's full syntax (default)
        FormatTypeSed = 1,
        FormatTypePerl = 2
    };

    // Which character traits compile and match.
    enum LocaleModels : int {
        LocaleCpp = 0,       // std::locale of the object (default)
        LocaleWin32 = 1,     // the user's default locale, with its own message catalogue
        LocaleC = 2          // the C runtime's locale as set with setlocale
    };

    // Result of ParseExpression.
    enum ExpressionErrorCode : int {
        NoError = 0,
        ErrorNoExpression = 1,
        ErrorBadPattern = 2,
        ErrorCollate = 3,
        ErrorCharClass = 4,
        ErrorEscape = 5,
        ErrorBackReference = 6,
        ErrorBracket = 7,
        ErrorParenthesis = 8,
        ErrorBrace = 9,
        ErrorBadBrace = 10,
        ErrorRange = 11,
        ErrorSpace = 12,
        ErrorBadRepeat = 13,
        ErrorEnd = 14,
        ErrorRightParenthesis = 16,
        ErrorEmpty = 17,
        ErrorSize = 18,
        ErrorUnknown = 19,
        ErrorLocaleDll = 20
    };

    // ------------------------------------------------------------ problem records

    // A file that FindFiles or GrepFiles could not process.
    struct FileSearchProblem {
        std::string fileName;
        std::uint32_t kind;     // 0 cannot open, 1 cannot read, 2 the engine gave up (see FileSearch.h)
        std::uint32_t detail;   // errno for kinds 0 and 1, 0 otherwise
    };

    // A failure of ChangeFiles.
    struct FileChangeProblem {
        std::string fileName;
        std::uint32_t kind;       // 0 open, 1 temporary file, 2 read, 3 write, 4 file changed,
                                  // 5 backup, 6 replace, 7 attributes
        std::uint32_t position;   // byte offset concerned, or 0
        std::string text;         // kind 4: the text that was expected
        std::uint32_t errorCode;  // errno right after the failure; 0 for kind 4
    };

    // ------------------------------------------------------------------ callbacks

    typedef void(VANTREL_CALLBACK* MatchingFunction)(RegularExpression*, const std::vector<REMatch>&,
                                                     unsigned int line, unsigned int lineStart);
    typedef boost::function4<void, RegularExpression*, const std::vector<REMatch>&, unsigned int,
                             unsigned int>
        MatchingClosure;
    typedef MatchingFunction SearchingFunction;
    typedef MatchingClosure SearchingClosure;

    typedef void(VANTREL_CALLBACK* GreppingFunction)(RegularExpression*, const std::vector<REMatch>&,
                                                     unsigned int line, unsigned int lineStart,
                                                     bool& continueFlag);
    typedef boost::function5<void, RegularExpression*, const std::vector<REMatch>&, unsigned int,
                             unsigned int, bool&>
        GreppingClosure;
    typedef GreppingFunction MergingFunction;
    typedef GreppingClosure MergingClosure;

    typedef void(VANTREL_CALLBACK* GreppingFilesFunction)(RegularExpression*, std::string fileName,
                                                          const std::vector<REMatch>&,
                                                          unsigned int line, bool& continueFlag);
    typedef boost::function5<void, RegularExpression*, std::string, const std::vector<REMatch>&,
                             unsigned int, bool&>
        GreppingFilesClosure;
    typedef GreppingFilesFunction ChangingFilesFunction;
    typedef GreppingFilesClosure ChangingFilesClosure;

    typedef void(VANTREL_CALLBACK* FindFilesFunction)(RegularExpression*, std::string fileName,
                                                      bool& continueFlag);
    typedef boost::function3<void, RegularExpression*, std::string, bool&> FindFilesClosure;

    // ------------------------------------------------------- construction, copying

    RegularExpression();
    // Copies the settings and callbacks; the copy gets the global locale and
    // compiles afresh.
    RegularExpression(const RegularExpression& other);
    // Copies the settings and callbacks; keeps this object's locale.
    RegularExpression& operator=(const RegularExpression& other);
    virtual ~RegularExpression();

    // Equal settings (locale, callbacks and results take no part).
    bool operator==(const RegularExpression& other) const;

    // ------------------------------------------------------ expression, compiling

    void SetExpression(const std::string& expression);   // default ""
    std::string GetExpression() const;

    // Compiles in the current locale model unless already done (failures are cached too).
    ExpressionErrorCode ParseExpression();
    // The message of the last compilation, or "Empty expression" for an empty expression.
    std::string GetExpressionError() const;
    // Number of groups of the compiled expression; compiles first if needed.
    // After a failed compilation, and for a model not yet compiled (const form), 0.
    unsigned int NumberOfSubexpressions();
    unsigned int NumberOfSubexpressions() const;

    // ----------------------------------------------------------------- option sets

    // Default {EscapeInLists, CharClasses, Intervals, BkRefs, NoCollate, SyntaxNormal}.
    void AddExpressionOption(Options option);
    void DeleteExpressionOption(Options option);
    bool IsExpressionOption(Options option) const;
    void ClearExpressionOptions();   // empties the set; defaults are not restored

    // Default {MatchDefault}.
    void AddMatchOption(Matches option);
    void DeleteMatchOption(Matches option);
    bool IsMatchOption(Matches option) const;
    void ClearMatchOptions();

    // --------------------------------------------------------------------- locale

    void SetLocale(const std::locale& locale);   // default: the global locale at construction
    std::locale GetLocale() const;
    // Ignored while an operation of this object runs its engine pass.
    void SetLocaleModel(LocaleModels model);     // default LocaleCpp; not validated
    LocaleModels GetLocaleModel() const;
    // A module of string resources that localizes messages and syntax; default "".
    void SetLocaleDll(const std::string& name);
    std::string GetLocaleDll() const;

    // ------------------------------------------------------------- plain settings

    void SetStringToMatch(const std::string& subject);     // default ""
    std::string GetStringToMatch() const;
    void SetFormatString(const std::string& format);       // default ""
    std::string GetFormatString() const;
    void SetFilesToMatch(const std::string& pattern);      // default ""; e.g. "dir/*.txt"
    std::string GetFilesToMatch() const;
    void SetSaveExtension(const std::string& extension);   // default ""; backup extension, no dot
    std::string GetSaveExtension() const;
    void SetDirectoryRecursion(bool recurse);              // default false
    bool GetDirectoryRecursion() const;
    void SetMergeCopy(bool copy);                          // default false
    bool GetMergeCopy() const;
    void SetMergeOnlyFirst(bool onlyFirst);                // default false
    bool GetMergeOnlyFirst() const;
    void SetSplitInputDelete(bool consume);                // default false
    bool GetSplitInputDelete() const;
    // default 0 (no limit); values above 4294967295 act as 4294967295
    void SetMaximumSplits(unsigned long maximum);
    unsigned long GetMaximumSplits() const;
    void SetFormatType(FormatTypes type);                  // default FormatTypeAll; not validated
    FormatTypes GetFormatType() const;
    void SetContinueFiles(bool continueFiles);             // default true
    bool GetContinueFiles() const;

    // ------------------------------------------------------------------- matching
    // Each reports its match(es) to the Matching, Searching or Grepping
    // callback with the REMatch list: the whole match and one entry per group,
    // then the prefix (for Grep: from the end of the previous match) and the
    // suffix, each {"", -1} when empty or not taking part. The list is valid
    // only during the call. A callback may change the settings, the subject
    // included (the pass goes on over the subject it started with). An
    // operation started from a callback runs on its own and leaves the outer
    // pass as it was; the outer pass keeps the subject, the compiled
    // expression and the match it was reporting. Subjects of 2 GiB or more
    // are refused (false, 0, empty output, no callback): positions are 32-bit.
    // A callback that replaces its own closure destroys the running function
    // object: it must not touch its own state after doing so.

    bool Match();            // a match that starts at the beginning of the subject
    bool MatchAll();         // the whole subject matches
    bool Search();           // a match anywhere
    unsigned int Grep();     // number of non-overlapping matches, left to right

    // ---------------------------------------------------------- merge and format

    void Merge(std::string& out);         // search and replace with the format string
    void Format(std::string& out) const;  // the format string expanded for the current match

    // ---------------------------------------------------------------------- split

    unsigned int Split(std::vector<std::string>& pieces);

    // ---------------------------------------------------------------------- files

    unsigned int FindFiles();
    unsigned int GrepFiles();
    unsigned int ChangeFiles();
    // Null when the last pass recorded no problem; valid until the same operation runs again.
    const std::vector<FileSearchProblem>* GetFindFilesErrors() const;
    const std::vector<FileSearchProblem>* GetGrepFilesErrors() const;
    const std::vector<FileChangeProblem>* GetChangeFilesErrors() const;

    // ------------------------------------------------------------------ callbacks
    // At most one of the two forms is set per event: setting a non-null
    // function empties the closure and the other way round.

    void SetOnMatching(MatchingFunction f);
    MatchingFunction GetOnMatching() const;
    void SetOnMatchingClosure(MatchingClosure c);
    MatchingClosure GetOnMatchingClosure() const;

    void SetOnSearching(SearchingFunction f);
    SearchingFunction GetOnSearching() const;
    void SetOnSearchingClosure(SearchingClosure c);
    SearchingClosure GetOnSearchingClosure() const;

    void SetOnGrepping(GreppingFunction f);
    GreppingFunction GetOnGrepping() const;
    void SetOnGreppingClosure(GreppingClosure c);
    GreppingClosure GetOnGreppingClosure() const;

    void SetOnGreppingFiles(GreppingFilesFunction f);
    GreppingFilesFunction GetOnGreppingFiles() const;
    void SetOnGreppingFilesClosure(GreppingFilesClosure c);
    GreppingFilesClosure GetOnGreppingFilesClosure() const;

    void SetOnFindFiles(FindFilesFunction f);
    FindFilesFunction GetOnFindFiles() const;
    void SetOnFindFilesClosure(FindFilesClosure c);
    FindFilesClosure GetOnFindFilesClosure() const;

    void SetOnMerging(MergingFunction f);
    MergingFunction GetOnMerging() const;
    void SetOnMergingClosure(MergingClosure c);
    MergingClosure GetOnMergingClosure() const;

    void SetOnChangingFiles(ChangingFilesFunction f);
    ChangingFilesFunction GetOnChangingFiles() const;
    void SetOnChangingFilesClosure(ChangingFilesClosure c);
    ChangingFilesClosure GetOnChangingFilesClosure() const;

    // The implementation record; for the library's own use.
    RegularExpressionImpl& Impl() { return *m_impl; }
    const RegularExpressionImpl& Impl() const { return *m_impl; }

private:
    std::unique_ptr<RegularExpressionImpl> m_impl;
};

// ----------------------------------------------------------------- settings streams

// Writes the settings (option sets, flags, maximum splits, format type, locale
// model and the six strings) in the version 2 text layout. The locale, the
// callbacks and the compiled state do not travel.
VANTREL_API std::ostream& operator<<(std::ostream& out, const RegularExpression& object);
// Reads a version 1 or 2 layout; the outcome is the stream's state. Stops at
// the first token that fails, keeping the fields read before it. Option values
// are stored as read, without the rules of AddExpressionOption/AddMatchOption;
// a string is cut at its first zero character. A version above 2, and also a
// version of 0 or less, sets failbit and changes nothing. A length prefix is
// never trusted: characters are taken in bounded pieces as they arrive, so a
// huge length only costs what the stream really holds; when the stream ends
// first, failbit is set and that string keeps its old value.
VANTREL_API std::istream& operator>>(std::istream& in, RegularExpression& object);

}  // namespace RegexClass
