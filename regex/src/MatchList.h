#pragma once

// Pieces that every pass reporting matches to a callback shares: the REMatch
// list builder, the incremental line counter, the scope of the step match and
// the limit that keeps positions inside 32 bits.

#include "LineCounter.h"
#include "RegularExpressionImpl.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace RegexClass {
namespace detail {

// REMatch positions are 32-bit signed: a subject must stay below 2 GiB so
// that no offset into it can wrap.
constexpr std::size_t kMaxSubjectLength = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

inline bool SubjectFitsPositions(std::size_t length)
{
    return length <= kMaxSubjectLength;
}

// Runs `pass` with a handle on the current model's compiled expression. The
// handle shares the compiled program, so a callback that recompiles the
// object's expression cannot free it under the running pass.
template <class Pass>
auto WithCompiled(RegularExpressionImpl& d, Pass&& pass)
{
    return d.WithExpression([&](const auto& compiled) {
        const auto expression = compiled;
        return pass(expression);
    });
}

template <class Regex>
bool Usable(const Regex& expression)
{
    return !expression.empty() && expression.status() == 0;
}

// The REMatch list of one match: whole match and groups, prefix, suffix.
// One builder serves a whole pass; assigning into the entries it already
// holds keeps their capacity, so a pass allocates only while the strings
// still grow.
class MatchList {
public:
    const std::vector<REMatch>& Build(const MatchRecord& m, SubjectIterator base)
    {
        const std::size_t groups = m.size();
        m_list.resize(groups + 2);
        for (std::size_t i = 0; i < groups; ++i) {
            const auto& sub = m[static_cast<int>(i)];
            // The whole match is always reported, also when the engine marks
            // it as partial.
            if (i == 0 || sub.matched)
                Set(m_list[i], sub.first, sub.second, base);
            else
                Clear(m_list[i]);
        }
        SetOrClear(m_list[groups], m.prefix().first, m.prefix().second, base);
        SetOrClear(m_list[groups + 1], m.suffix().first, m.suffix().second, base);
        return m_list;
    }

private:
    static void Set(REMatch& entry, SubjectIterator first, SubjectIterator last, SubjectIterator base)
    {
        entry.text.assign(first, last);
        entry.position = static_cast<std::int32_t>(first - base);
    }
    static void Clear(REMatch& entry)
    {
        entry.text.clear();
        entry.position = -1;
    }
    // The prefix and the suffix take part only when they are not empty.
    static void SetOrClear(REMatch& entry, SubjectIterator first, SubjectIterator last, SubjectIterator base)
    {
        if (first == last)
            Clear(entry);
        else
            Set(entry, first, last, base);
    }

    std::vector<REMatch> m_list;
};

// Reports the steps of one Grep or Merge pass to a callback slot that takes
// (object, list, line, line start, continue). The list and the line are
// worked out only when a callback is set.
class StepReporter {
public:
    StepReporter(RegularExpression* owner, const std::string& subject)
        : m_owner(owner), m_subject(subject), m_lines(subject.data())
    {
    }

    // Calls the plain function if set, else the closure if not empty; the
    // slot is read at every step because a callback may change it.
    template <class Function, class Closure>
    void Report(const MatchRecord& m, Function function, const Closure& closure, bool& continueFlag)
    {
        if (function) {
            const std::vector<REMatch>& entries = Describe(m);
            function(m_owner, entries, m_lines.Line(), m_lines.LineStart(), continueFlag);
        } else if (!closure.empty()) {
            const std::vector<REMatch>& entries = Describe(m);
            closure(m_owner, entries, m_lines.Line(), m_lines.LineStart(), continueFlag);
        }
    }

private:
    const std::vector<REMatch>& Describe(const MatchRecord& m)
    {
        m_lines.AdvanceTo(m_subject.data() + (m[0].first - m_subject.begin()));
        return m_list.Build(m, m_subject.begin());
    }

    RegularExpression* m_owner;
    const std::string& m_subject;
    LineCounter m_lines;
    MatchList m_list;
};

// Makes `match` the step match for a scope and puts back the previous one on
// every path, so that an operation started from a callback leaves the outer
// step as it found it.
class StepMatchScope {
public:
    StepMatchScope(RegularExpressionImpl& impl, const MatchRecord* match) : m_impl(impl), m_previous(impl.stepMatch)
    {
        impl.stepMatch = match;
    }
    ~StepMatchScope() { m_impl.stepMatch = m_previous; }
    StepMatchScope(const StepMatchScope&) = delete;
    StepMatchScope& operator=(const StepMatchScope&) = delete;

private:
    RegularExpressionImpl& m_impl;
    const MatchRecord* m_previous;
};

}  // namespace detail
}  // namespace RegexClass
