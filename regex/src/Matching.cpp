// Match, MatchAll, Search and Grep: the engine's search, anchored match and
// grep over the string to match, with the matches reported to callbacks.

#include "MatchList.h"
#include "RegularExpressionImpl.h"

#include <memory>
#include <string>

namespace RegexClass {

namespace {

namespace rc = boost::regex_constants;

// Makes a fresh record, holding its own copy of the subject, the current
// results of one Match, MatchAll or Search. A successful operation leaves it
// for Format. One started from a callback puts back the results of the
// operation that called back, which that callback may still format.
class ResultsScope {
public:
    explicit ResultsScope(RegularExpressionImpl& d)
        : m_impl(d), m_nested(d.MayBeRunningACallback()), m_previous(std::move(d.currentResults))
    {
        d.currentResults = std::make_unique<KeptResults>();
        d.currentResults->subject = d.stringToMatch;
        m_results = d.currentResults.get();
    }
    ~ResultsScope()
    {
        if (m_nested)
            m_impl.currentResults = std::move(m_previous);
        else if (!m_kept)
            m_impl.currentResults.reset();
    }
    ResultsScope(const ResultsScope&) = delete;
    ResultsScope& operator=(const ResultsScope&) = delete;

    const std::string& Subject() const { return m_results->subject; }
    MatchRecord& Results() { return m_results->match; }
    // Keeps the results after the operation; without this they go.
    void Keep() { m_kept = true; }

private:
    RegularExpressionImpl& m_impl;
    const bool m_nested;
    std::unique_ptr<KeptResults> m_previous;
    KeptResults* m_results;
    bool m_kept = false;
};

enum class SingleKind { Match, MatchAll, Search };

bool RunSingle(RegularExpression& self, SingleKind kind)
{
    RegularExpressionImpl& d = self.Impl();
    if (self.ParseExpression() != RegularExpression::NoError) {
        d.DropResultsOfEarlierOperation();
        return false;
    }
    if (!detail::SubjectFitsPositions(d.stringToMatch.size())) {
        d.DropResultsOfEarlierOperation();
        return false;
    }

    const bool searching = kind == SingleKind::Search;
    RegularExpression::MatchingFunction& function = searching ? d.onSearching : d.onMatching;
    RegularExpression::MatchingClosure& closure = searching ? d.onSearchingClosure : d.onMatchingClosure;

    // The results point into their own copy of the subject, so a callback
    // may replace the object's subject while they are in use.
    ResultsScope results(d);
    const std::string& subject = results.Subject();
    // This operation's callback formats this operation's match, also when it
    // was started from inside a Grep or Merge step.
    detail::StepMatchScope noStep(d, nullptr);
    MatchRecord& m = results.Results();
    const rc::match_flag_type flags = d.MatchFlags(true);

    bool found;
    {
        BusyScope busy(d);
        found = detail::WithCompiled(d, [&](const auto& expression) {
            if (!detail::Usable(expression))
                return false;
            if (kind == SingleKind::MatchAll)
                return boost::regex_match(subject.begin(), subject.end(), m, expression, flags | rc::match_all);
            return boost::regex_search(subject.begin(), subject.end(), m, expression, flags);
        });
    }

    bool success = found;
    if (found && kind == SingleKind::Match)
        success = m[0].first == subject.begin();
    if (found && kind == SingleKind::MatchAll)
        success = m[0].second == subject.end();
    if (!success)
        return false;
    results.Keep();
    if (!function && closure.empty())
        return true;

    detail::MatchList list;
    detail::LineCounter lines(subject.data());
    lines.AdvanceTo(subject.data() + (m[0].first - subject.begin()));
    const std::vector<REMatch>& entries = list.Build(m, subject.begin());
    CallbackScope running(d);
    if (function)
        function(d.owner, entries, lines.Line(), lines.LineStart());
    else
        closure(d.owner, entries, lines.Line(), lines.LineStart());
    return true;
}

// The per-match step of a Grep that calls back. The engine copies its
// predicate, so the state of the pass lives here and the predicate only
// points to it.
class GrepReporter {
public:
    GrepReporter(RegularExpressionImpl& d, const std::string& subject) : m_impl(d), m_steps(d.owner, subject) {}

    bool Step(const MatchRecord& m)
    {
        bool continueFlag = true;
        detail::StepMatchScope step(m_impl, &m);
        m_steps.Report(m, m_impl.onGrepping, m_impl.onGreppingClosure, continueFlag);
        return continueFlag;
    }

private:
    RegularExpressionImpl& m_impl;
    detail::StepReporter m_steps;
};

struct GrepStep {
    GrepReporter* reporter;
    bool operator()(const MatchRecord& m) const { return reporter->Step(m); }
};

}  // namespace

bool RegularExpression::Match()
{
    return RunSingle(*this, SingleKind::Match);
}

bool RegularExpression::MatchAll()
{
    return RunSingle(*this, SingleKind::MatchAll);
}

bool RegularExpression::Search()
{
    return RunSingle(*this, SingleKind::Search);
}

unsigned int RegularExpression::Grep()
{
    RegularExpressionImpl& d = *m_impl;
    d.DropResultsOfEarlierOperation();
    if (ParseExpression() != NoError)
        return 0;
    if (!detail::SubjectFitsPositions(d.stringToMatch.size()))
        return 0;
    const rc::match_flag_type flags = d.MatchFlags(true);

    if (!d.onGrepping && d.onGreppingClosure.empty()) {
        // Nothing can run during the pass, so the subject cannot change: no copy.
        const std::string& subject = d.stringToMatch;
        BusyScope busy(d);
        return detail::WithCompiled(d, [&](const auto& expression) -> unsigned int {
            if (!detail::Usable(expression))
                return 0;
            return boost::regex_grep([](const MatchRecord&) { return true; }, subject.begin(), subject.end(),
                                     expression, flags);
        });
    }

    // A callback may change the object's subject: the pass runs over a copy.
    const std::string subject = d.stringToMatch;
    GrepReporter reporter(d, subject);
    BusyScope busy(d);
    return detail::WithCompiled(d, [&](const auto& expression) -> unsigned int {
        if (!detail::Usable(expression))
            return 0;
        return boost::regex_grep(GrepStep{&reporter}, subject.begin(), subject.end(), expression, flags);
    });
}

}  // namespace RegexClass
