// FindFiles, GrepFiles and ChangeFiles: configuring the file-search layer,
// forwarding its reports to the object on top of the thread's active-object
// stack, and collecting the replacements that FileRewrite writes back.

#include "FileOperations.h"

#include "EngineFlags.h"
#include "FileSearch.h"
#include "RegularExpressionImpl.h"

#include <type_traits>
#include <vector>

namespace RegexClass {

using detail::FileMatch;
using detail::SearchAnswer;
using Problem = RegularExpression::FileChangeProblem;

namespace {

// ------------------------------------------------------------ active objects

// The objects whose file operation runs on this thread, innermost on top. The
// layer's reports go to the top one; a callback may start a file operation
// on another object, which pushes that one for its own pass. The stack is a
// chain of scopes on the callers' stacks, so the thread-local slot is a plain
// pointer: MinGW's emulated thread storage frees an object before a
// destructor registered for thread exit could run.
class ActiveScope;
thread_local ActiveScope* t_activeTop = nullptr;

class ActiveScope {
public:
    explicit ActiveScope(RegularExpression* object) : m_object(object), m_below(t_activeTop) { t_activeTop = this; }
    ~ActiveScope() { t_activeTop = m_below; }
    ActiveScope(const ActiveScope&) = delete;
    ActiveScope& operator=(const ActiveScope&) = delete;

    RegularExpression& Object() const { return *m_object; }
    const ActiveScope* Below() const { return m_below; }

private:
    RegularExpression* const m_object;
    ActiveScope* const m_below;
};

RegularExpression& ActiveObject()
{
    return t_activeTop->Object();
}

// ---------------------------------------------------------- search and reports

// The layer's traits for each of the object's three expression types.
detail::SearchTraits TraitsOf(const CppRegex&)
{
    return detail::SearchTraits::Cpp;
}
detail::SearchTraits TraitsOf(const Win32Regex&)
{
    return detail::SearchTraits::Win32;
}
detail::SearchTraits TraitsOf(const CRegex&)
{
    return detail::SearchTraits::C;
}

// The ChangeFiles snapshots kept for each expression type.
template <class Regex>
std::vector<ChangeSnapshot<Regex>>& SnapshotsOf(RegularExpressionImpl& d);
template <>
std::vector<ChangeSnapshot<CppRegex>>& SnapshotsOf<CppRegex>(RegularExpressionImpl& d)
{
    return d.cppSnapshots;
}
template <>
std::vector<ChangeSnapshot<Win32Regex>>& SnapshotsOf<Win32Regex>(RegularExpressionImpl& d)
{
    return d.win32Snapshots;
}
template <>
std::vector<ChangeSnapshot<CRegex>>& SnapshotsOf<CRegex>(RegularExpressionImpl& d)
{
    return d.cSnapshots;
}

template <class Regex>
using RegexOf = std::decay_t<Regex>;

// Configures the layer; false when there is nothing to search or the engine
// rejects the expression.
bool Prepare(RegularExpressionImpl& d, detail::FileSearch& search)
{
    if (d.expression.empty() || d.filesToMatch.empty())
        return false;
    search.SetContinueOnProblems(d.continueFiles);
    search.SetTraits(d.WithExpression([](const auto& expression) { return TraitsOf(expression); }));
    return search.SetExpression(d.expression, d.expressionOptions.count(RegularExpression::IgnoreCase) != 0);
}

std::vector<REMatch> MatchList(const FileMatch& match)
{
    std::vector<REMatch> list;
    list.reserve(match.Marks());
    for (std::size_t i = 0; i < match.Marks(); ++i)
        list.push_back(REMatch{match.Text(i), static_cast<std::int32_t>(match.Position(i))});
    return list;
}

SearchAnswer FindReport(const std::string& fileName)
{
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
                       const FileMatch& match)
{
    bool go = true;
    if (function) {
        function(&self, fileName, MatchList(match), match.Line(), go);
    } else if (!slot.empty()) {
        RegularExpression::GreppingFilesClosure closure = slot;
        closure(&self, fileName, MatchList(match), match.Line(), go);
    }
    return go;
}

SearchAnswer GrepReport(const std::string& fileName, const FileMatch& match)
{
    RegularExpression& self = ActiveObject();
    RegularExpressionImpl& d = self.Impl();
    return CallFileMatchSlot(self, d.onGreppingFiles, d.onGreppingFilesClosure, fileName, match)
        ? SearchAnswer::Continue
        : SearchAnswer::Stop;
}

// Writes the current change file (when there is one) and resets the working state.
void WriteChangeFile(RegularExpressionImpl& d)
{
    std::string name;
    std::vector<ChangeRecord> changes;
    name.swap(d.currentChangeFile);
    changes.swap(d.pendingChanges);
    if (name.empty() || changes.empty())
        return;
    if (detail::RewriteFile(name, changes, d.saveExtension, d.rewritePass, d.changeFileProblems))
        d.changeCount += static_cast<std::uint32_t>(changes.size());
}

// --------------------------------------------------------------- change pass

template <class Regex>
std::string Replacement(const std::vector<ChangeSnapshot<Regex>>& stack, const std::string& matched,
                        const std::string& format)
{
    if (stack.empty())
        return matched;
    const ChangeSnapshot<Regex>& top = stack.back();
    // Only the default format syntax, copying what the expression leaves unmatched.
    return boost::regex_replace(matched, top.expression, format,
                                top.flags | detail::EngineFormatFlags(RegularExpression::FormatTypeAll));
}

// The compiled expression and flags that a ChangeFiles call replaces with.
// The snapshot leaves the stack it went on, even should a settings stream
// read from a callback change the locale model meanwhile.
class SnapshotScope {
public:
    SnapshotScope(RegularExpressionImpl& d, boost::regex_constants::match_flag_type flags) : m_d(d)
    {
        d.WithExpression([this, &d, flags](const auto& expression) {
            using Regex = RegexOf<decltype(expression)>;
            SnapshotsOf<Regex>(d).push_back({expression, flags});
            m_pop = [](RegularExpressionImpl& impl) { SnapshotsOf<Regex>(impl).pop_back(); };
        });
    }
    ~SnapshotScope() { m_pop(m_d); }
    SnapshotScope(const SnapshotScope&) = delete;
    SnapshotScope& operator=(const SnapshotScope&) = delete;

private:
    RegularExpressionImpl& m_d;
    void (*m_pop)(RegularExpressionImpl&) = nullptr;
};

SearchAnswer ChangeReport(const std::string& fileName, const FileMatch& match)
{
    RegularExpression& self = ActiveObject();
    RegularExpressionImpl& d = self.Impl();
    if (!d.continueFiles && !d.changeFileProblems.empty())
        return SearchAnswer::Stop;
    if (fileName != d.currentChangeFile)
        WriteChangeFile(d);
    // The component's own refusals pass over this file only.
    if (!d.saveExtension.empty() && detail::HasSaveExtension(fileName, d.saveExtension))
        return SearchAnswer::SkipFile;
    // Read-only, or its attributes cannot be read. Asked once per file: a
    // refusal passes over the rest of the file's matches.
    if (fileName != d.rewritePass.writableFile) {
        detail::os::FileStatus status;
        if (detail::os::GetStatus(fileName, true, status) != 0 || status.readOnly)
            return SearchAnswer::SkipFile;
        d.rewritePass.writableFile = fileName;
    }
    if (!CallFileMatchSlot(self, d.onChangingFiles, d.onChangingFilesClosure, fileName, match))
        return SearchAnswer::Stop;
    if (d.currentChangeFile.empty())
        d.currentChangeFile = fileName;

    const std::string matched = match.Text(0);
    // The model cannot change while busy is set.
    std::string replacement = d.WithExpression([&d, &matched](const auto& expression) {
        return Replacement(SnapshotsOf<RegexOf<decltype(expression)>>(d), matched, d.formatString);
    });
    d.pendingChanges.push_back(ChangeRecord{match.Position(0), matched, std::move(replacement)});
    return SearchAnswer::Continue;
}

// A file the search could not process during ChangeFiles: recorded as a
// change problem (Open when it could not be opened, else Read; error code the
// layer's, or 0 when the engine gave up), and a file the engine gave up on
// half way is not written.
void ChangeSearchProblem(RegularExpressionImpl& d, const RegularExpression::FileSearchProblem& p)
{
    if (p.fileName == d.currentChangeFile) {
        d.currentChangeFile.clear();
        d.pendingChanges.clear();
    }
    const Problem::Kind kind = p.kind == RegularExpression::FileSearchProblem::Open ? Problem::Open : Problem::Read;
    d.changeFileProblems.push_back(Problem{p.fileName, kind, 0, std::string(), p.detail});
}

}  // namespace

// ------------------------------------------------------------ public helpers

namespace detail {

std::size_t ActiveObjectDepth()
{
    std::size_t depth = 0;
    for (const ActiveScope* scope = t_activeTop; scope; scope = scope->Below())
        ++depth;
    return depth;
}

}  // namespace detail

// ------------------------------------------------------------ the operations

namespace {

// The common pass of FindFiles and GrepFiles: `run` walks the files with the
// prepared search; the problems it met go to `problems`.
template <class Run>
unsigned int SearchFiles(RegularExpression& object, std::vector<RegularExpression::FileSearchProblem>& problems,
                         Run run)
{
    RegularExpressionImpl& d = object.Impl();
    problems.clear();
    detail::FileSearch search;
    if (!Prepare(d, search))
        return 0;
    object.ParseExpression();  // the file search uses its own compilation; this one only fills the cache
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

unsigned int RegularExpression::FindFiles()
{
    RegularExpressionImpl& d = *m_impl;
    d.DropResultsOfEarlierOperation();
    return SearchFiles(*this, d.findFileProblems, [&d](detail::FileSearch& search, auto flags) {
        return search.Find(d.filesToMatch, d.directoryRecursion, flags, &FindReport);
    });
}

unsigned int RegularExpression::GrepFiles()
{
    RegularExpressionImpl& d = *m_impl;
    d.DropResultsOfEarlierOperation();
    return SearchFiles(*this, d.grepFileProblems, [&d](detail::FileSearch& search, auto flags) {
        return search.Grep(d.filesToMatch, d.directoryRecursion, flags, &GrepReport);
    });
}

unsigned int RegularExpression::ChangeFiles()
{
    RegularExpressionImpl& d = *m_impl;
    d.DropResultsOfEarlierOperation();
    d.changeFileProblems.clear();
    detail::FileSearch search;
    if (!Prepare(d, search))
        return 0;
    // The replacements are made with the object's own compiled expression:
    // without one there is nothing sound to write.
    if (ParseExpression() != NoError)
        return 0;
    const auto flags = d.MatchFlags(false);

    d.changeCount = 0;
    d.currentChangeFile.clear();
    d.pendingChanges.clear();
    d.rewritePass = detail::RewritePass();
    // The tree that the pattern names; a file whose real path leaves it is not
    // rewritten (nothing is when the tree cannot be resolved).
    detail::os::RealPath(detail::os::DirectoryOf(d.filesToMatch), d.rewritePass.treeRoot);
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

const std::vector<RegularExpression::FileSearchProblem>* RegularExpression::GetFindFilesErrors() const
{
    return m_impl->findFileProblems.empty() ? nullptr : &m_impl->findFileProblems;
}

const std::vector<RegularExpression::FileSearchProblem>* RegularExpression::GetGrepFilesErrors() const
{
    return m_impl->grepFileProblems.empty() ? nullptr : &m_impl->grepFileProblems;
}

const std::vector<RegularExpression::FileChangeProblem>* RegularExpression::GetChangeFilesErrors() const
{
    return m_impl->changeFileProblems.empty() ? nullptr : &m_impl->changeFileProblems;
}

}  // namespace RegexClass
