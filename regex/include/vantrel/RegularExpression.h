#pragma once

// Vantrel: one class, RegularExpression, around Boost.Regex.
//
//   RegexClass::RegularExpression re;
//   re.SetExpression("<a([^>]*)>");
//   re.AddExpressionOption(RegexClass::RegularExpression::IgnoreCase);
//   re.SetStringToMatch(page);
//   std::vector<std::string> anchors;
//   re.SetOnGreppingClosure([&](RegexClass::RegularExpression*,
//                               const std::vector<RegexClass::REMatch>& m,
//                               unsigned int /*line*/, unsigned int /*lineStart*/,
//                               bool& /*continueFlag*/) {
//       anchors.push_back(m[1].text);   // m[0] the whole match, m[1] the group
//   });
//   unsigned int count = re.Grep();     // 2 for page "<a href=x>1</a> <A b>"
//
// A caller configures an object (expression, option sets, subject, format
// string, file pattern, flags, locale) and runs operations on it. Matches are
// reported through callbacks, either plain functions or closures; every
// operation that needs the expression compiles it first and caches the result
// until a setting that affects it changes. An operation whose expression does
// not compile does nothing and says so by its result (false, 0, empty output).
//
// Failures are reported by results (bool, counts, ExpressionErrorCode,
// problem lists), never by exceptions of the component's own. Two kinds of
// exception do pass through an operation, and the object stays usable after
// either: one thrown by a callback, and the engine's runtime limit on a
// subject (an expression too complex for it, or one that needs too deep a
// backtracking stack): a std::runtime_error, with Boost 1.81 a
// boost::regex_error whose code() is error_complexity or error_stack.
// FindFiles, GrepFiles and ChangeFiles record that limit as a problem of the
// file instead.
//
// Positions are byte offsets from the start of the subject (or file), and
// REMatch holds them as 32-bit signed numbers. Match, MatchAll, Search, Grep
// and Merge refuse a subject of 2 GiB (2147483648 bytes) or more: they return
// false, 0 or an empty output and call nothing back. The file operations
// search files up to 4294967295 bytes in a 64-bit process (a 32-bit process
// holds no file of 1 GiB or more and records it as Read with ENOMEM, and may run
// out of memory well below that); positions at and above 2 GiB in them
// read as negative numbers in REMatch and are meant as unsigned
// (static_cast<std::uint32_t>); -1 still marks a group that took no part.
// A larger file is recorded as a problem (Read with EFBIG) and left alone.
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

// Plain callback functions use the __stdcall convention on Windows: declare
// them with VANTREL_CALLBACK. A lambda, even without captures, does not
// convert to such a pointer there; hand lambdas over as closures.
#if defined(_WIN32)
#define VANTREL_CALLBACK __stdcall
#else
#define VANTREL_CALLBACK
#endif

namespace RegexClass {

// One sub-expression of a match. A part that did not take part has empty text
// and position -1. Positions count bytes from the start of the searched text
// (see above for positions at and above 2 GiB).
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
    // in the set, and the components of a family present are present too:
    // adding a family drops the other one, adding or deleting a single option
    // names the family its set now matches, if any. The default set is
    // {EscapeInLists, CharClasses, Intervals, BkRefs, NoCollate, SyntaxNormal}.
    //
    // Each single option keeps its meaning in every family: where the
    // engine's syntax group lacks it, the expression is rewritten into that
    // group's syntax before compiling (error messages quote your own text).
    // The family decides how matching works: SyntaxBasic, SyntaxSed,
    // SyntaxGrep, SyntaxExtended, SyntaxAwk and SyntaxEgrep match
    // leftmost-longest; SyntaxNormal, SyntaxPerl, SyntaxEmacs and a set
    // without a family match leftmost-first. Perl extensions ((?:...),
    // (?=...), (?!...), (?#...), (?imsx)) are read in SyntaxNormal and
    // SyntaxPerl and in any set without a family and without BkParens; the
    // POSIX families refuse them.
    enum Options : int {
        EscapeInLists = 0,    // default on:  '\' is an escape inside [...]; off: a member ([\d] is \ and d)
        CharClasses = 1,      // default on:  [[:alpha:]] and friends
        Intervals = 2,        // default on:  {n,m}
        LimitedOps = 3,       // default off: + ? | are literal (not the ? of an opening "(?")
        NewlineAlt = 4,       // default off: a newline separates alternatives
        BkPlusQm = 5,         // default off: \+ and \? are the operators
        BkBraces = 6,         // default off: \{ \} are the interval braces
        BkParens = 7,         // default off: \( \) are the group parentheses
        BkRefs = 8,           // default on:  \1 back-references; off: \1 to \9 stand for the digit
        BkVbar = 9,           // default off: \| is alternation
        Literal = 10,         // default off: the expression is a plain text
        IgnoreCase = 11,      // default off: case-insensitive
        NoCollate = 12,       // default on:  ranges by code; off: by the locale's collation (nothing else changes)
        SyntaxBasic = 13,     // {1, 2, 3, 6, 7, 8}
        SyntaxExtended = 14,  // {1, 2, 8}
        SyntaxNormal = 15,    // {0, 1, 2, 8, 12}  (the default family: Perl syntax)
        SyntaxEmacs = 16,     // {6, 7, 8, 9}
        SyntaxAwk = 17,       // {0, 1, 2, 8}
        SyntaxGrep = 18,      // {1, 2, 3, 4, 6, 7, 8}
        SyntaxEgrep = 19,     // {1, 2, 4, 8}
        SyntaxSed = 20,       // synonym of SyntaxBasic
        SyntaxPerl = 21       // synonym of SyntaxNormal
    };

    // Match options; the default set is {MatchDefault}. MatchDefault excludes
    // 1 to 8: adding one of them removes it, and deleting the last of them
    // puts it back.
    enum Matches : int {
        MatchDefault = 0,        // none of the restrictions below
        MatchNotBol = 1,         // ^ does not match at the start of the subject
        MatchNotEol = 2,         // $ does not match at its end
        MatchNotBob = 3,         // \` does not match at the start
        MatchNotEob = 4,         // \' does not match at the end
        MatchNotBow = 5,         // no word start at the start
        MatchNotEow = 6,         // no word end at the end
        MatchNotDotNewline = 7,  // . does not match a newline (by default it does)
        MatchNotDotNull = 8,     // . does not match a NUL
        MatchAny = 9,            // any match will do, not the leftmost-first one
        MatchNotNull = 10,       // no empty match
        MatchContinuous = 11,    // a match must start where the search starts
        MatchPartial = 12        // a match cut off by the end of the subject counts; only
                                 // Match, MatchAll, Search and Grep use it
    };

    // Format-string syntax of Merge (when it calls back) and Format. A plain
    // Merge and ChangeFiles always use FormatTypeAll's syntax.
    enum FormatTypes : int {
        FormatTypeAll = 0,  // default: the engine's full syntax: $&, $n, \n, conditionals
                            // ?n...:... and (?n...:...), case conversions \U \L \E; & is plain
        FormatTypeSed = 1,  // & is the whole match, \n a group; $ is plain
        FormatTypePerl = 2  // $&, $n, \n and case conversions; & and ? are plain
    };

    // Which character traits compile and match. Values outside 0 to 2 act
    // as LocaleCpp.
    enum LocaleModels : int {
        LocaleCpp = 0,    // default: std::locale of the object (SetLocale); under
                          // MinGW, whose C++ library knows only "C", that one
        LocaleWin32 = 1,  // the user's default locale, with its own message catalogue
        LocaleC = 2       // the C runtime's locale as set with setlocale; no catalogue
    };

    // Result of ParseExpression. 15 is never returned; Boost 1.81 never
    // reports 12, 14, 16 or 18 either (an unmatched ')' gives 8).
    enum ExpressionErrorCode : int {
        NoError = 0,
        ErrorNoExpression = 1,       // the expression is empty; nothing was compiled
        ErrorBadPattern = 2,         // invalid pattern, e.g. an unknown (?...) construct
        ErrorCollate = 3,            // unknown collating element
        ErrorCharClass = 4,          // unknown class name, or a range whose end precedes its start
        ErrorEscape = 5,             // trailing or invalid escape
        ErrorBackReference = 6,      // back-reference to a group that does not exist
        ErrorBracket = 7,            // [ without ]
        ErrorParenthesis = 8,        // ( without ), or ) without (
        ErrorBrace = 9,              // { without }
        ErrorBadBrace = 10,          // invalid {n,m}
        ErrorRange = 11,             // invalid range end
        ErrorSpace = 12,             // out of memory
        ErrorBadRepeat = 13,         // repeat without an operand
        ErrorEnd = 14,               // premature end of the expression
        ErrorRightParenthesis = 16,  // unmatched right parenthesis
        ErrorEmpty = 17,             // the engine's "empty expression" error
        ErrorSize = 18,              // expression too big
        ErrorUnknown = 19,           // any other engine error
        ErrorLocaleDll = 20          // the locale DLL's message catalogue could not be opened
    };

    // ------------------------------------------------------------ problem records

    // A file that FindFiles or GrepFiles could not process.
    struct FileSearchProblem {
        // The values of `kind`; the field stays a std::uint32_t so that the
        // record's layout does not depend on the enumeration's.
        enum Kind : std::uint32_t {
            Open = 0,         // the file or a directory cannot be opened (no permission,
                              //   dangling link, vanished during the walk)
            Read = 1,         // it cannot be read, or is too large to search (EFBIG) or
                              //   to hold in memory (ENOMEM)
            EngineGaveUp = 2  // the engine gave up on it (complexity, stack or memory
                              //   limit); the matches reported before stay reported
        };
        std::string fileName;  // as the walk names it (a directory: without the final '/')
        std::uint32_t kind;    // a Kind
        std::uint32_t detail;  // errno (Windows: GetLastError()) for Open and Read, 0 for EngineGaveUp
    };

    // A failure of ChangeFiles.
    struct FileChangeProblem {
        // The values of `kind`, kept in a std::uint32_t as above.
        enum Kind : std::uint32_t {
            Open = 0,                // the file cannot be opened or is no regular file
            TemporaryFile = 1,       // no temporary file could be made (fileName "NoName")
            Read = 2,                // reading the file failed, or the engine gave up on it
            Write = 3,               // writing the new content failed
            ChangedSinceSearch = 4,  // a match is no longer where it was found
            Backup = 5,              // the backup could not be written
            Replace = 6,             // the new content could not, or may not, take the file's place
            Attributes = 7           // the original's mode could not be given to the new content
        };
        std::string fileName;     // the file; "NoName" when no temporary file could be made
        std::uint32_t kind;       // a Kind
        std::uint32_t position;   // byte offset concerned, or 0
        std::string text;         // ChangedSinceSearch: the text that was expected
        std::uint32_t errorCode;  // errno (Windows: GetLastError()) right after the failure;
                                  // 0 for ChangedSinceSearch
    };

    // ------------------------------------------------------------------ callbacks
    // Each event has a plain function and a closure form with the same
    // arguments, as the types below show: the object; for file events the
    // file name; the REMatch list of the match; the line on which the match
    // starts (the first line is 1); for string passes the offset of that
    // line's first byte; and for events that can stop a pass a continue flag,
    // true on entry: clearing it ends the pass.

    typedef void(VANTREL_CALLBACK* MatchingFunction)(RegularExpression*, const std::vector<REMatch>&, unsigned int line,
                                                     unsigned int lineStart);
    typedef boost::function4<void, RegularExpression*, const std::vector<REMatch>&, unsigned int, unsigned int>
        MatchingClosure;
    typedef MatchingFunction SearchingFunction;
    typedef MatchingClosure SearchingClosure;

    typedef void(VANTREL_CALLBACK* GreppingFunction)(RegularExpression*, const std::vector<REMatch>&, unsigned int line,
                                                     unsigned int lineStart, bool& continueFlag);
    typedef boost::function5<void, RegularExpression*, const std::vector<REMatch>&, unsigned int, unsigned int, bool&>
        GreppingClosure;
    typedef GreppingFunction MergingFunction;
    typedef GreppingClosure MergingClosure;

    typedef void(VANTREL_CALLBACK* GreppingFilesFunction)(RegularExpression*, std::string fileName,
                                                          const std::vector<REMatch>&, unsigned int line,
                                                          bool& continueFlag);
    typedef boost::function5<void, RegularExpression*, std::string, const std::vector<REMatch>&, unsigned int, bool&>
        GreppingFilesClosure;
    typedef GreppingFilesFunction ChangingFilesFunction;
    typedef GreppingFilesClosure ChangingFilesClosure;

    typedef void(VANTREL_CALLBACK* FindFilesFunction)(RegularExpression*, std::string fileName, bool& continueFlag);
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

    void SetExpression(const std::string& expression);  // default ""
    std::string GetExpression() const;

    // Compiles in the current locale model unless already done (failures are
    // cached too). Each of the three locale models keeps its own compiled
    // expression; changing the expression, the expression options, the locale
    // (LocaleCpp) or the locale DLL makes the next operation compile again.
    ExpressionErrorCode ParseExpression();
    // The message of the last failed compilation in the current model, ""
    // after a success or before any compilation, and "Empty expression" (or
    // the locale DLL's text for it) while the expression is empty.
    std::string GetExpressionError() const;
    // Number of groups of the compiled expression; compiles first if needed.
    // After a failed compilation, and for a model not yet compiled (const form), 0.
    unsigned int NumberOfSubexpressions();
    unsigned int NumberOfSubexpressions() const;

    // ----------------------------------------------------------------- option sets

    // Default {EscapeInLists, CharClasses, Intervals, BkRefs, NoCollate, SyntaxNormal};
    // see Options for the rules that keep families and their components together.
    // Any value is accepted; one outside Options has no effect on compiling.
    void AddExpressionOption(Options option);
    void DeleteExpressionOption(Options option);
    bool IsExpressionOption(Options option) const;
    void ClearExpressionOptions();  // empties the set; defaults are not restored

    // Default {MatchDefault}. Match options never make the expression compile again.
    void AddMatchOption(Matches option);
    void DeleteMatchOption(Matches option);
    bool IsMatchOption(Matches option) const;
    void ClearMatchOptions();  // empties the set; acts as {MatchDefault}

    // --------------------------------------------------------------------- locale

    void SetLocale(const std::locale& locale);  // default: the global locale at construction
    std::locale GetLocale() const;
    // Ignored while an operation of this object runs its engine pass.
    void SetLocaleModel(LocaleModels model);  // default LocaleCpp; not validated
    LocaleModels GetLocaleModel() const;
    // A module of string resources that localizes messages and syntax; default "".
    // A name that does not load is no error: the engine's own texts are used.
    void SetLocaleDll(const std::string& name);
    std::string GetLocaleDll() const;

    // ------------------------------------------------------------- plain settings

    // Each setter stores its value as given; none makes the expression compile again.

    // Default "": the subject of Match, MatchAll, Search, Grep, Merge and Split.
    void SetStringToMatch(const std::string& subject);
    std::string GetStringToMatch() const;
    // Default "": the replacement text of Merge and ChangeFiles and the text Format expands.
    void SetFormatString(const std::string& format);
    std::string GetFormatString() const;
    // Default "": the files of FindFiles, GrepFiles and ChangeFiles, e.g. "dir/*.txt"
    // (see "Files" below for the syntax).
    void SetFilesToMatch(const std::string& pattern);
    std::string GetFilesToMatch() const;
    // Default "": ChangeFiles keeps each original under this extension, given
    // without the dot ("bak"); "" keeps no backup.
    void SetSaveExtension(const std::string& extension);
    std::string GetSaveExtension() const;
    // Default false: the file operations also walk the sub-directories.
    void SetDirectoryRecursion(bool recurse);
    bool GetDirectoryRecursion() const;
    // Default false: Merge's output holds only the replacements; true: the
    // text between them (and before the first, after the last) is copied too.
    void SetMergeCopy(bool copy);
    bool GetMergeCopy() const;
    // Default false: Merge replaces every match; true: only the first.
    void SetMergeOnlyFirst(bool onlyFirst);
    bool GetMergeOnlyFirst() const;
    // Default false: Split leaves the subject alone; true: Split removes the
    // text it consumed from the subject, leaving what the maximum held back.
    void SetSplitInputDelete(bool consume);
    bool GetSplitInputDelete() const;
    // Default 0 (no limit): the most pieces one Split produces. unsigned long
    // has 32 bits on Windows and in 32-bit builds; where it has 64, values above
    // 4294967295 act as 4294967295.
    void SetMaximumSplits(unsigned long maximum);
    unsigned long GetMaximumSplits() const;
    // Default FormatTypeAll; not validated (other values act as FormatTypeAll).
    void SetFormatType(FormatTypes type);
    FormatTypes GetFormatType() const;
    // Default true: a file operation records a problem file and goes on with
    // the next; false: the first problem ends the pass.
    void SetContinueFiles(bool continueFiles);
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

    // Each returns false (or 0) without calling back when nothing matched.
    bool Match();     // a match that starts at the beginning of the subject
    bool MatchAll();  // the whole subject matches
    bool Search();    // a match anywhere; reports the first one found
    // Number of non-overlapping matches, left to right; a pass stopped by a
    // callback counts the matches reported, the one that stopped it included.
    unsigned int Grep();

    // ---------------------------------------------------------- merge and format
    // Merge replaces the matches of the subject, left to right, by the format
    // string expanded for each, and puts the result in `out`. Format expands
    // the format string, in the format type's syntax, for the match that a
    // Matching, Searching, Grepping or Merging callback is being told of.
    //
    // Format also expands, outside a callback, the match kept by the last
    // successful Match, MatchAll or Search. That match lasts until the next
    // Match, MatchAll, Search, Grep, Merge, Split or file operation, does not
    // change with the subject, and a failed operation keeps none.
    //
    // Merge and format guarantees:
    //   - Both empty `out` first; Merge never changes the subject.
    //   - Merge, with or without a Merging callback, replaces exactly the
    //     matches Grep reports: no empty match at the end after a match that
    //     reached the end.
    //   - Merge reads merge copy and merge only first when it starts; a change
    //     made from a Merging callback applies to the next Merge.
    //   - The Merging callback sees each match before it is replaced; clearing
    //     continue leaves that match unreplaced and ends the pass (with merge
    //     copy, the rest of the subject is then copied unchanged).
    //   - Format outside such a callback, with no kept match, gives "".

    void Merge(std::string& out);
    void Format(std::string& out) const;

    // ---------------------------------------------------------------------- split
    // Cuts the subject at the matches of the expression into `pieces`
    // (emptied first) and returns their number. Without groups the pieces
    // are the texts between matches, an empty first one left out, then the
    // rest after the last match; with groups, the groups' texts of each match
    // instead. An empty expression splits at runs of white space (the locale
    // DLL may name another class letter) and stays empty. An empty subject
    // gives 0.

    unsigned int Split(std::vector<std::string>& pieces);

    // ---------------------------------------------------------------------- files
    // Pattern: a path whose last component may hold the wildcards * (any run
    // of bytes, also none) and ? (one byte); the components before it are
    // taken literally, and a relative pattern is relative to the current
    // directory. Names are compared byte for byte and case matters; * also
    // matches a leading dot; "." and ".." are never visited. With directory
    // recursion the last component is matched in every sub-directory below.
    //
    // Walk order: in each directory the matching files sorted by name in byte
    // order, then its sub-directories in the same order, each walked
    // completely. Names are reported as the pattern's directory part as
    // written followed by the path below it: "dir/*.txt" gives "dir/a.txt",
    // "dir/sub/b.txt"; "*.txt" gives "a.txt". Regular files are visited,
    // symbolic links to them included; a link to a directory is not followed.
    //
    // Matching: each file is read whole and searched as bytes (binary data
    // included). The expression is compiled for files with the default Perl
    // syntax, taking only IgnoreCase from the expression options; the match
    // options apply except MatchPartial. LocaleCpp uses the global locale,
    // not SetLocale's. An empty expression or pattern gives 0 and calls
    // nothing back, and so does an expression that does not compile in that
    // syntax (for ChangeFiles, also in the object's own). The REMatch lists of
    // GreppingFiles and ChangingFiles hold the whole match and the groups
    // (no prefix or suffix), with positions from the start of the file.
    //
    // FindFiles returns the number of files holding a match, telling
    // FindFiles of each. GrepFiles returns the number of matches, telling
    // GreppingFiles of each. ChangeFiles tells ChangingFiles of each match and
    // replaces it by the format string expanded in FormatTypeAll's syntax; it
    // returns the number of replacements (not files) in the files it rewrote.
    //
    // File operations guarantees:
    //   - FindFiles and GrepFiles only read.
    //   - ChangeFiles leaves alone files whose extension is the save extension
    //     (compared without case) and files whose owner write permission is
    //     off; neither is told to ChangingFiles nor recorded as a problem.
    //   - A file whose replacements all equal their matched text is not
    //     rewritten; its replacements still count.
    //   - Before a file is rewritten every match is checked again against its
    //     bytes; a file that changed since it was searched is left alone
    //     (ChangedSinceSearch). A file with a problem of kind Open to Backup
    //     (0 to 5) is left unchanged.
    //   - A changed file's new content is written to a temporary file
    //     ("Regex" and six more characters) in the file's own directory (the
    //     target's directory for a symbolic link), flushed to disk, given the
    //     original's owner, group and mode, and put in the original's place in
    //     one step: the file holds its old or its new content at every
    //     instant. A symbolic link stays a link and its target is rewritten.
    //   - Where the file's directory refuses new entries, the new content is
    //     held in memory and, once the backup is complete, written over the
    //     original in place and flushed: the file keeps its identity, owner,
    //     mode and links, but a crash during that write can leave it partly
    //     rewritten. No temporary directory is used; TMPDIR plays no part.
    //   - With a save extension the backup holds the original bytes with the
    //     original's owner, group and mode, and is complete before the
    //     original is replaced (otherwise Backup and the original unchanged);
    //     in a directory that refuses new entries an existing backup file is
    //     written over, and without one the change is refused with Backup.
    //   - Each file is changed at most once per call: a later name reaching a
    //     file already changed (a symbolic link to it, say) gets Replace with
    //     EEXIST (Windows: ERROR_ALREADY_EXISTS) and is left alone. A file
    //     with more than one hard link gets Replace with EMLINK.
    //   - A file whose real path, links resolved, lies outside the directory
    //     the pattern names is never rewritten: Replace with EXDEV (Windows:
    //     ERROR_NOT_SAME_DEVICE), nothing outside touched. FindFiles and
    //     GrepFiles still read through links.
    //   - The error field of a problem record is the platform's error code
    //     taken right after the failing step: errno on POSIX, GetLastError()
    //     on Windows; 0 for ChangedSinceSearch, for a read that ended early
    //     and where the engine gave up.
    //   - Temporary files are removed on every failure and when a callback's
    //     exception ends the pass; the file being collected then is not
    //     written.

    unsigned int FindFiles();
    unsigned int GrepFiles();
    unsigned int ChangeFiles();
    // The problems of the last pass of each operation, in the order they arose.
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
// callbacks and the compiled state do not travel. Numbers are written and read
// in the classic form, whatever locale the stream is imbued with. Strings are written whole,
// but a reader ends each at its first NUL character: a string holding a NUL
// does not come back whole.
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
