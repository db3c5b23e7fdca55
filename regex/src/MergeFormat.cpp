// Merge (search and replace with the format string) and Format (the format
// string expanded for the match being reported).

#include "EngineFlags.h"
#include "MatchList.h"
#include "RegularExpressionImpl.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace RegexClass {

namespace {

namespace rc = boost::regex_constants;

// Appends the format string expanded for `m` in the object's format syntax.
void AppendExpansion(const RegularExpressionImpl& d, const MatchRecord& m, std::string& out) {
    m.format(std::back_inserter(out), d.formatString, detail::EngineFormatFlags(d.formatType));
}

// The per-match step of a merge that calls back. The result and the copy
// position belong to the pass, so a merge started from a callback cannot
// disturb them; the object receives them when the pass is over.
class MergeReporter {
public:
    MergeReporter(RegularExpressionImpl& d, const std::string& subject)
        : m_impl(d), m_subject(subject), m_steps(d.owner, subject) {
        if (d.mergeCopy) m_result.reserve(subject.size());
    }

    bool Step(const MatchRecord& m) {
        RegularExpressionImpl& d = m_impl;
        bool continueFlag = true;
        detail::StepMatchScope step(d, &m);
        const std::size_t start = static_cast<std::size_t>(m[0].first - m_subject.begin());

        if (d.mergeCopy && m_copyPosition < start) {
            m_result.append(m_subject, m_copyPosition, start - m_copyPosition);
            m_copyPosition = start;
        }

        m_steps.Report(m, d.onMerging, d.onMergingClosure, continueFlag);

        if (continueFlag) {
            AppendExpansion(d, m, m_result);
            if (d.mergeCopy) m_copyPosition += static_cast<std::size_t>(m.length(0));
        }
        if (d.mergeOnlyFirst) continueFlag = false;
        return continueFlag;
    }

    // The text after the last match that was accounted for.
    void Finish() {
        m_copyPosition = std::min(m_copyPosition, m_subject.size());
        if (m_impl.mergeCopy && m_copyPosition != m_subject.size()) m_result.append(m_subject, m_copyPosition, std::string::npos);
    }

    std::string& Result() { return m_result; }
    std::size_t CopyPosition() const { return m_copyPosition; }

private:
    RegularExpressionImpl& m_impl;
    const std::string& m_subject;
    detail::StepReporter m_steps;
    std::string m_result;
    std::size_t m_copyPosition = 0;
};

struct MergeStep {
    MergeReporter* reporter;
    bool operator()(const MatchRecord& m) const { return reporter->Step(m); }
};

}  // namespace

void RegularExpression::Format(std::string& out) const {
    const RegularExpressionImpl& d = *m_impl;
    out.clear();
    const MatchRecord* m = d.stepMatch ? d.stepMatch : d.currentResults.get();
    if (!m || m->empty()) return;
    std::string expansion;
    AppendExpansion(d, *m, expansion);
    out.swap(expansion);
}

void RegularExpression::Merge(std::string& out) {
    RegularExpressionImpl& d = *m_impl;
    out.clear();
    if (ParseExpression() != NoError) return;
    if (!detail::SubjectFitsPositions(d.stringToMatch.size())) return;
    const rc::match_flag_type matchFlags = d.MatchFlags(false);

    if (!d.onMerging && d.onMergingClosure.empty()) {
        // Nothing calls back, so nothing can change the subject during the
        // pass. The replacements use the engine's default syntax whatever the
        // format type.
        rc::match_flag_type flags = matchFlags | rc::format_all;
        if (!d.mergeCopy) flags |= rc::format_no_copy;
        if (d.mergeOnlyFirst) flags |= rc::format_first_only;
        const std::string& subject = d.stringToMatch;
        std::string result;
        // With the text between matches copied, the result is about as long as the subject.
        if (d.mergeCopy) result.reserve(subject.size());
        {
            BusyScope busy(d);
            detail::WithCompiled(d, [&](const auto& expression) {
                if (!detail::Usable(expression)) return;
                boost::regex_replace(std::back_inserter(result), subject.begin(), subject.end(), expression,
                                     d.formatString, flags);
            });
        }
        out.swap(result);
        return;
    }

    // A callback may change the object's subject: the pass runs over a copy.
    const std::string subject = d.stringToMatch;
    MergeReporter reporter(d, subject);
    {
        BusyScope busy(d);
        detail::WithCompiled(d, [&](const auto& expression) {
            if (!detail::Usable(expression)) return;
            boost::regex_grep(MergeStep{&reporter}, subject.begin(), subject.end(), expression, matchFlags);
        });
    }
    reporter.Finish();
    out = reporter.Result();
    d.mergeAccumulator.swap(reporter.Result());
    d.mergeCopyPosition = static_cast<std::uint32_t>(reporter.CopyPosition());
}

}  // namespace RegexClass
