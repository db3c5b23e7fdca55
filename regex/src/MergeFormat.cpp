// Merge (search and replace with the format string) and Format (the format
// string expanded for the match being reported, or else for the results
// that the last Match, MatchAll or Search kept).

#include "EngineFlags.h"
#include "MatchList.h"
#include "RegularExpressionImpl.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace RegexClass {

namespace {

namespace rc = boost::regex_constants;

// The per-match step of a merge. The result and the copy position belong to
// the pass, so a merge started from a callback cannot disturb them; the
// object receives them when the pass is over. Merge copy and merge only first
// are read when the pass starts: a callback that changes them changes the
// next Merge, never text this pass has already accounted for.
//
// Both merges run on the engine's grep, so they replace exactly the matches
// that Grep reports (the engine's replace would add an empty match at the end
// after a match that reached it).
class MergePass {
public:
    MergePass(RegularExpressionImpl& d, const std::string& subject, bool callsBack)
        : m_impl(d),
          m_subject(subject),
          m_callsBack(callsBack),
          m_copy(d.mergeCopy),
          m_onlyFirst(d.mergeOnlyFirst),
          m_steps(d.owner, subject)
    {
        // With the text between matches copied, the result is about as long as the subject.
        if (m_copy)
            m_result.reserve(subject.size());
    }

    bool Step(const MatchRecord& m)
    {
        RegularExpressionImpl& d = m_impl;
        bool continueFlag = true;
        detail::StepMatchScope step(d, &m);
        const std::size_t start = static_cast<std::size_t>(m[0].first - m_subject.begin());

        if (m_copy && m_copyPosition < start) {
            m_result.append(m_subject, m_copyPosition, start - m_copyPosition);
            m_copyPosition = start;
        }

        // A callback may change the format string and type: both are read
        // after it. Without a callback the default syntax applies, whatever
        // the format type.
        if (m_callsBack)
            m_steps.Report(m, d.onMerging, d.onMergingClosure, continueFlag);
        if (continueFlag) {
            m.format(std::back_inserter(m_result), d.formatString,
                     m_callsBack ? detail::EngineFormatFlags(d.formatType) : rc::format_all);
            if (m_copy)
                m_copyPosition += static_cast<std::size_t>(m.length(0));
        }
        if (m_onlyFirst)
            continueFlag = false;
        return continueFlag;
    }

    // The text after the last match that was accounted for.
    void Finish()
    {
        m_copyPosition = std::min(m_copyPosition, m_subject.size());
        if (m_copy && m_copyPosition != m_subject.size())
            m_result.append(m_subject, m_copyPosition, std::string::npos);
    }

    std::string& Result() { return m_result; }
    std::size_t CopyPosition() const { return m_copyPosition; }

private:
    RegularExpressionImpl& m_impl;
    const std::string& m_subject;
    const bool m_callsBack;
    const bool m_copy;
    const bool m_onlyFirst;
    detail::StepReporter m_steps;
    std::string m_result;
    std::size_t m_copyPosition = 0;
};

struct MergeStep {
    MergePass* pass;
    bool operator()(const MatchRecord& m) const { return pass->Step(m); }
};

}  // namespace

void RegularExpression::Format(std::string& out) const
{
    const RegularExpressionImpl& d = *m_impl;
    out.clear();
    const MatchRecord* m = d.stepMatch ? d.stepMatch : d.currentResults ? &d.currentResults->match : nullptr;
    if (!m || m->empty())
        return;
    std::string expansion;
    m->format(std::back_inserter(expansion), d.formatString, detail::EngineFormatFlags(d.formatType));
    out.swap(expansion);
}

void RegularExpression::Merge(std::string& out)
{
    RegularExpressionImpl& d = *m_impl;
    out.clear();
    d.DropResultsOfEarlierOperation();
    if (ParseExpression() != NoError)
        return;
    if (!detail::SubjectFitsPositions(d.stringToMatch.size()))
        return;

    const bool callsBack = d.onMerging || !d.onMergingClosure.empty();
    // A callback may change the object's subject: a pass that calls back
    // runs over a copy. Without one nothing can change it.
    std::string copy;
    if (callsBack)
        copy = d.stringToMatch;
    const std::string& subject = callsBack ? copy : d.stringToMatch;

    MergePass pass(d, subject, callsBack);
    {
        BusyScope busy(d);
        detail::WithCompiled(d, [&](const auto& expression) {
            if (!detail::Usable(expression))
                return;
            boost::regex_grep(MergeStep{&pass}, subject.begin(), subject.end(), expression, d.MatchFlags(false));
        });
    }
    pass.Finish();
    if (!callsBack) {
        out.swap(pass.Result());
        return;
    }
    out = pass.Result();
    d.mergeAccumulator.swap(pass.Result());
    d.mergeCopyPosition = static_cast<std::uint32_t>(pass.CopyPosition());
}

}  // namespace RegexClass
