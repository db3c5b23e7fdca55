#pragma once

// The private record behind RegularExpression, and the services its
// operations share: compiled expression of the current locale model, compile
// and match flags, the busy flag.

#include <vantrel/RegularExpression.h>

#include "FileRewrite.h"
#include "Win32Traits.h"

#include <boost/regex.hpp>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace RegexClass {

using CppRegex = boost::basic_regex<char, boost::cpp_regex_traits<char>>;
using Win32Regex = boost::basic_regex<char, detail::Win32RegexTraits>;
using CRegex = boost::basic_regex<char, boost::c_regex_traits<char>>;

using SubjectIterator = std::string::const_iterator;
using MatchRecord = boost::match_results<SubjectIterator>;

// Outcome of the last compilation in one locale model.
struct ParseState {
    bool parsed = false;
    std::uint32_t errorCode = 0;  // the classic engine's numbering (see EngineFlags.h)
    std::string message;

    void Clear()
    {
        parsed = false;
        errorCode = 0;
        message.clear();
    }
};

// The results of a Match, MatchAll or Search with their own copy of the
// subject, so that Format can expand them after the operation whatever
// happens to the object's subject meanwhile.
struct KeptResults {
    std::string subject;
    MatchRecord match;
};

// The compiled expression and match flags of a running ChangeFiles call.
template <class Regex>
struct ChangeSnapshot {
    Regex expression;
    boost::regex_constants::match_flag_type flags;
};

class RegularExpressionImpl {
public:
    explicit RegularExpressionImpl(RegularExpression* owner);

    RegularExpression* owner;                                                      // 1
    std::string currentChangeFile;                                                 // 2
    std::vector<ChangeRecord> pendingChanges;                                      //   working state of ChangeFiles
    detail::RewritePass rewritePass;                                               //   (and what it has rewritten)
    char spaceClassLetter = 0;                                                     // 3
    std::string emptyExpressionMessage;                                            // 4
    std::string localeDllMessage;                                                  // 5
    std::uint32_t changeCount = 0;                                                 // 6
    std::set<int> expressionOptions;                                               // 7
    std::set<int> matchOptions;                                                    // 8
    RegularExpression::FormatTypes formatType = RegularExpression::FormatTypeAll;  // 9
    RegularExpression::LocaleModels localeModel = RegularExpression::LocaleCpp;    // 10
    std::locale locale;                                                            // 11
    std::string expression;                                                        // 12
    std::string stringToMatch;                                                     // 13
    std::string filesToMatch;                                                      // 14
    std::string formatString;                                                      // 15
    std::string saveExtension;                                                     // 16
    std::string localeDll;                                                         // 17
    bool localeChanged = false;                                                    // 18
    bool directoryRecursion = false;                                               // 19
    bool mergeCopy = false;                                                        // 20
    bool mergeOnlyFirst = false;                                                   // 21
    std::uint32_t maximumSplits = 0;                                               // 22
    bool splitInputDelete = false;                                                 // 23
    bool continueFiles = true;                                                     // 24
    ParseState parseStates[3];                                                     // 25, by LocaleModels value
    CppRegex cppExpression;                                                        // 26
    Win32Regex win32Expression;
    CRegex cExpression;
    std::unique_ptr<KeptResults> currentResults;  // 27
    const MatchRecord* stepMatch = nullptr;       // 28
    std::string mergeAccumulator;                 // 29
    std::uint32_t mergeCopyPosition = 0;
    std::vector<RegularExpression::FileChangeProblem> changeFileProblems;  // 30
    std::vector<RegularExpression::FileSearchProblem> findFileProblems;
    std::vector<RegularExpression::FileSearchProblem> grepFileProblems;
    std::vector<ChangeSnapshot<CppRegex>> cppSnapshots;  // 31
    std::vector<ChangeSnapshot<Win32Regex>> win32Snapshots;
    std::vector<ChangeSnapshot<CRegex>> cSnapshots;
    bool busy = false;  // 32

    // 33, 34: one plain function and one closure per event.
    RegularExpression::MatchingFunction onMatching = nullptr;
    RegularExpression::SearchingFunction onSearching = nullptr;
    RegularExpression::GreppingFunction onGrepping = nullptr;
    RegularExpression::GreppingFilesFunction onGreppingFiles = nullptr;
    RegularExpression::FindFilesFunction onFindFiles = nullptr;
    RegularExpression::MergingFunction onMerging = nullptr;
    RegularExpression::ChangingFilesFunction onChangingFiles = nullptr;
    RegularExpression::MatchingClosure onMatchingClosure;
    RegularExpression::SearchingClosure onSearchingClosure;
    RegularExpression::GreppingClosure onGreppingClosure;
    RegularExpression::GreppingFilesClosure onGreppingFilesClosure;
    RegularExpression::FindFilesClosure onFindFilesClosure;
    RegularExpression::MergingClosure onMergingClosure;
    RegularExpression::ChangingFilesClosure onChangingFilesClosure;

    // Closures replaced while a pass or a callback runs: one of them may be
    // the callback that is running, so they live until the outermost one ends.
    std::vector<std::shared_ptr<void>> retiredClosures;
    int callbacksRunning = 0;
    bool MayBeRunningACallback() const { return busy || callbacksRunning > 0; }
    void ReleaseRetiredClosures()
    {
        if (!MayBeRunningACallback())
            retiredClosures.clear();
    }

    // The locale last imbued into the LocaleCpp expression (the object's
    // locale, or it with the locale DLL's message facet). Each compilation
    // starts from a fresh engine object imbued with it.
    std::locale cppImbuedLocale;

    // ---- services shared by the operations

    // 0, 1 or 2: the slot of the current locale model (values outside 0..2 use LocaleCpp's).
    int ModelIndex() const;
    ParseState& CurrentParseState() { return parseStates[ModelIndex()]; }
    const ParseState& CurrentParseState() const { return parseStates[ModelIndex()]; }
    // True after a successful compilation in the current model.
    bool CompiledOk() const
    {
        const ParseState& s = CurrentParseState();
        return s.parsed && s.errorCode == 0;
    }
    void ClearParseStates()
    {
        for (ParseState& s : parseStates)
            s.Clear();
    }

    // Calls f with the compiled expression of the current model (one of three types).
    template <class F>
    decltype(auto) WithExpression(F&& f)
    {
        return WithExpressionOf(*this, std::forward<F>(f));
    }
    template <class F>
    decltype(auto) WithExpression(F&& f) const
    {
        return WithExpressionOf(*this, std::forward<F>(f));
    }

    // One switch for both constnesses of WithExpression.
    template <class Self, class F>
    static decltype(auto) WithExpressionOf(Self& self, F&& f)
    {
        switch (self.ModelIndex()) {
        case RegularExpression::LocaleWin32:
            return f(self.win32Expression);
        case RegularExpression::LocaleC:
            return f(self.cExpression);
        default:
            return f(self.cppExpression);
        }
    }

    // The results of the last Match, MatchAll or Search last until the next
    // operation; one started from a callback leaves those of the operation
    // that called back.
    void DropResultsOfEarlierOperation()
    {
        if (!MayBeRunningACallback())
            currentResults.reset();
    }

    // Compile flags of the expression option set, in the classic numbering.
    std::uint32_t ClassicCompileFlags() const;
    // Engine match flags of the match option set.
    boost::regex_constants::match_flag_type MatchFlags(bool allowPartial) const;
};

// Sets the busy flag for a scope; restores the previous value on every path.
class BusyScope {
public:
    explicit BusyScope(RegularExpressionImpl& impl) : m_impl(impl), m_previous(impl.busy) { impl.busy = true; }
    ~BusyScope()
    {
        m_impl.busy = m_previous;
        m_impl.ReleaseRetiredClosures();
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    RegularExpressionImpl& m_impl;
    bool m_previous;
};

// Marks a callback that runs outside a busy pass (Match, MatchAll, Search).
class CallbackScope {
public:
    explicit CallbackScope(RegularExpressionImpl& impl) : m_impl(impl) { ++impl.callbacksRunning; }
    ~CallbackScope()
    {
        --m_impl.callbacksRunning;
        m_impl.ReleaseRetiredClosures();
    }
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;

private:
    RegularExpressionImpl& m_impl;
};

// Replaces a stored closure; one that may be running is kept until it is over.
template <class Closure>
void ReplaceClosure(RegularExpressionImpl& impl, Closure& slot, Closure replacement)
{
    if (impl.MayBeRunningACallback() && !slot.empty())
        impl.retiredClosures.push_back(std::make_shared<Closure>(std::move(slot)));
    slot = std::move(replacement);
}

}  // namespace RegexClass
