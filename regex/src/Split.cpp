// Split: cutting the subject into pieces at the matches of the expression, in
// the manner of the engine's regex_split, with a default separator, a maximum
// number of pieces and the option to cut the consumed text off the subject.

#include "LocaleDll.h"
#include "RegularExpressionImpl.h"

#include <limits>

namespace RegexClass {

namespace {

constexpr std::uint32_t kNoLimit = std::numeric_limits<std::uint32_t>::max();

// State of one pass. The engine copies its predicate, so the predicate only
// points here.
struct SplitPass {
    std::vector<std::string>& pieces;
    SubjectIterator consumedEnd;
    std::uint32_t remaining;
    const std::uint32_t initial;
};

struct SplitPredicate {
    SplitPass* pass;

    bool operator()(const MatchRecord& m) const
    {
        SplitPass& p = *pass;
        p.consumedEnd = m[0].second;
        if (m.size() > 1) {
            // Groups: their texts stand in for the text between matches.
            for (std::size_t i = 1; i < m.size(); ++i) {
                p.pieces.push_back(m.str(static_cast<int>(i)));
                if (--p.remaining == 0)
                    return false;
            }
            return true;
        }
        // prefix() runs from the end of the previous match. An empty text
        // before the first piece is no piece at all.
        const auto& before = m.prefix();
        if (before.first != before.second || p.remaining != p.initial) {
            p.pieces.emplace_back(before.first, before.second);
            return --p.remaining != 0;
        }
        return true;
    }
};

// Puts the expression back to empty when Split had put in the default
// separator, on every way out including the engine's exceptions.
class DefaultSeparatorScope {
public:
    explicit DefaultSeparatorScope(RegularExpression& re) : m_re(re) {}
    ~DefaultSeparatorScope()
    {
        if (m_active)
            m_re.SetExpression(std::string());
    }
    void Activate() { m_active = true; }
    DefaultSeparatorScope(const DefaultSeparatorScope&) = delete;
    DefaultSeparatorScope& operator=(const DefaultSeparatorScope&) = delete;

private:
    RegularExpression& m_re;
    bool m_active = false;
};

}  // namespace

unsigned int RegularExpression::Split(std::vector<std::string>& pieces)
{
    RegularExpressionImpl& d = *m_impl;
    pieces.clear();
    d.DropResultsOfEarlierOperation();
    if (d.stringToMatch.empty())
        return 0;

    DefaultSeparatorScope defaultScope(*this);
    ExpressionErrorCode code = ParseExpression();
    if (code == ErrorNoExpression) {
        SetExpression(detail::DefaultSplitSeparator(d.spaceClassLetter, d.localeModel));
        defaultScope.Activate();
        code = ParseExpression();
    }
    if (code != NoError)
        return 0;

    const auto flags = d.MatchFlags(false);
    // Split calls nothing back, so the subject cannot change under the pass
    // and the pass can read it in place instead of through a copy.
    const std::string& subject = d.stringToMatch;
    const std::uint32_t initial = d.maximumSplits == 0 ? kNoLimit : d.maximumSplits;
    SplitPass pass{pieces, subject.begin(), initial, initial};

    const bool hasGroups = d.WithExpression([&](const auto& re) {
        boost::regex_grep(SplitPredicate{&pass}, subject.begin(), subject.end(), re, flags);
        return re.mark_count() != 0;
    });

    // The rest after the last separator is a piece too, unless groups are
    // what is being collected.
    if (pass.remaining != 0 && pass.consumedEnd != subject.end() && !hasGroups) {
        pieces.emplace_back(pass.consumedEnd, subject.end());
        pass.consumedEnd = subject.end();
        --pass.remaining;
    }

    if (d.splitInputDelete)
        d.stringToMatch.erase(0, static_cast<std::size_t>(pass.consumedEnd - subject.begin()));
    return initial - pass.remaining;
}

}  // namespace RegexClass
