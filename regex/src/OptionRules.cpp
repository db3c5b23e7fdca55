// The consistency rules of the two option sets and the flags they compile to.

#include "EngineFlags.h"
#include "RegularExpressionImpl.h"

#include <initializer_list>

namespace RegexClass {

namespace {

using RE = RegularExpression;
using OptionSet = std::set<int>;

constexpr int kFirstFamily = RE::SyntaxBasic;
constexpr int kLastFamily = RE::SyntaxPerl;

bool IsFamily(int option)
{
    return option >= kFirstFamily && option <= kLastFamily;
}

const std::vector<int>& Components(int family)
{
    static const std::vector<int> none;
    static const std::vector<int> basic{1, 2, 3, 6, 7, 8};
    static const std::vector<int> extended{1, 2, 8};
    static const std::vector<int> normal{0, 1, 2, 8, 12};
    static const std::vector<int> emacs{6, 7, 8, 9};
    static const std::vector<int> awk{0, 1, 2, 8};
    static const std::vector<int> grep{1, 2, 3, 4, 6, 7, 8};
    static const std::vector<int> egrep{1, 2, 4, 8};
    switch (family) {
    case RE::SyntaxBasic:
    case RE::SyntaxSed:
        return basic;
    case RE::SyntaxExtended:
        return extended;
    case RE::SyntaxNormal:
    case RE::SyntaxPerl:
        return normal;
    case RE::SyntaxEmacs:
        return emacs;
    case RE::SyntaxAwk:
        return awk;
    case RE::SyntaxGrep:
        return grep;
    case RE::SyntaxEgrep:
        return egrep;
    default:
        return none;
    }
}

// The other member of a synonym pair, or -1.
int Synonym(int family)
{
    switch (family) {
    case RE::SyntaxBasic:
        return RE::SyntaxSed;
    case RE::SyntaxSed:
        return RE::SyntaxBasic;
    case RE::SyntaxNormal:
        return RE::SyntaxPerl;
    case RE::SyntaxPerl:
        return RE::SyntaxNormal;
    default:
        return -1;
    }
}

std::uint32_t SingleFlag(int option)
{
    static const std::uint32_t flags[] = {0x1,  0x2,   0x4,   0x8,    0x10,   0x20,  0x40,
                                          0x80, 0x100, 0x200, 0x1000, 0x2000, 0x4000};
    return option >= 0 && option <= 12 ? flags[option] : 0;
}

std::uint32_t FamilyFlags(int family)
{
    std::uint32_t flags = 0;
    for (int c : Components(family))
        flags |= SingleFlag(c);
    return flags;
}

bool HasAll(const OptionSet& set, std::initializer_list<int> options)
{
    for (int o : options)
        if (!set.count(o))
            return false;
    return true;
}

void RemoveFamiliesExcept(OptionSet& set, std::initializer_list<int> keep)
{
    for (int f = kFirstFamily; f <= kLastFamily; ++f) {
        bool kept = false;
        for (int k : keep)
            kept = kept || k == f;
        if (!kept)
            set.erase(f);
    }
}

// Puts the family that a set of single options amounts to into the set.
void InferFamily(OptionSet& set)
{
    if (HasAll(set, {1, 2, 8})) {
        if (HasAll(set, {0, 12})) {
            if (!set.count(RE::SyntaxPerl))
                set.insert(RE::SyntaxNormal);
            RemoveFamiliesExcept(set, {RE::SyntaxNormal, RE::SyntaxPerl});
        } else if (HasAll(set, {3, 6, 7})) {
            if (set.count(4)) {
                set.insert(RE::SyntaxGrep);
                RemoveFamiliesExcept(set, {RE::SyntaxGrep});
            } else {
                if (!set.count(RE::SyntaxSed))
                    set.insert(RE::SyntaxBasic);
                RemoveFamiliesExcept(set, {RE::SyntaxBasic, RE::SyntaxSed});
            }
        } else if (set.count(0)) {
            set.insert(RE::SyntaxAwk);
            RemoveFamiliesExcept(set, {RE::SyntaxAwk});
        } else if (!set.count(4)) {
            set.insert(RE::SyntaxExtended);
            RemoveFamiliesExcept(set, {RE::SyntaxExtended});
        } else {
            set.insert(RE::SyntaxEgrep);
            RemoveFamiliesExcept(set, {RE::SyntaxEgrep});
        }
    } else if (HasAll(set, {6, 7, 8, 9})) {
        set.insert(RE::SyntaxEmacs);
        RemoveFamiliesExcept(set, {RE::SyntaxEmacs});
    }
}

}  // namespace

std::uint32_t RegularExpressionImpl::ClassicCompileFlags() const
{
    std::uint32_t flags = 0;
    for (int option : expressionOptions)
        flags |= SingleFlag(option);
    for (int family = kFirstFamily; family <= kLastFamily; ++family) {
        if (expressionOptions.count(family)) {
            flags |= FamilyFlags(family);
            break;
        }
    }
    return flags | detail::kUseExcept;
}

boost::regex_constants::match_flag_type RegularExpressionImpl::MatchFlags(bool allowPartial) const
{
    static const unsigned flags[] = {0, 0x1, 0x2, 0x4, 0x8, 0x10, 0x20, 0x40, 0x80, 0x400, 0x800, 0x1000};
    unsigned result = 0;
    for (int option : matchOptions) {
        if (option >= 1 && option <= 11)
            result |= flags[option];
        if (option == RE::MatchPartial && allowPartial)
            result |= boost::regex_constants::match_partial;
    }
    return static_cast<boost::regex_constants::match_flag_type>(result);
}

void RegularExpression::AddExpressionOption(Options option)
{
    OptionSet& set = m_impl->expressionOptions;
    if (set.count(option))
        return;
    m_impl->ClearParseStates();
    set.insert(option);
    if (!IsFamily(option)) {
        InferFamily(set);
        return;
    }
    for (int c : Components(option))
        set.insert(c);
    for (int g = kFirstFamily; g <= kLastFamily; ++g) {
        if (g == option || !set.count(g))
            continue;
        set.erase(g);
        if (g == Synonym(option))
            continue;  // a synonym shares every component
        int synonym = Synonym(g);
        if (synonym >= 0)
            set.erase(synonym);
        const std::vector<int>& kept = Components(option);
        for (int c : Components(g)) {
            bool shared = false;
            for (int k : kept)
                shared = shared || k == c;
            if (!shared)
                set.erase(c);
        }
    }
}

void RegularExpression::DeleteExpressionOption(Options option)
{
    OptionSet& set = m_impl->expressionOptions;
    if (!set.count(option))
        return;
    m_impl->ClearParseStates();
    set.erase(option);
    if (IsFamily(option)) {
        int synonym = Synonym(option);
        if (synonym >= 0)
            set.erase(synonym);
        for (int c : Components(option))
            set.erase(c);
        return;
    }
    for (int g = kFirstFamily; g <= kLastFamily; ++g) {
        if (!set.count(g))
            continue;
        for (int c : Components(g)) {
            if (!set.count(c)) {
                set.erase(g);
                int synonym = Synonym(g);
                if (synonym >= 0)
                    set.erase(synonym);
                break;
            }
        }
    }
}

bool RegularExpression::IsExpressionOption(Options option) const
{
    return m_impl->expressionOptions.count(option) != 0;
}

void RegularExpression::ClearExpressionOptions()
{
    m_impl->ClearParseStates();
    m_impl->expressionOptions.clear();
}

void RegularExpression::AddMatchOption(Matches option)
{
    OptionSet& set = m_impl->matchOptions;
    if (set.count(option))
        return;
    set.insert(option);
    if (option == MatchDefault) {
        for (int m = MatchNotBol; m <= MatchNotDotNull; ++m)
            set.erase(m);
        return;
    }
    if (set.count(MatchDefault)) {
        for (int m = MatchNotBol; m <= MatchNotDotNull; ++m) {
            if (set.count(m)) {
                set.erase(MatchDefault);
                break;
            }
        }
    }
}

void RegularExpression::DeleteMatchOption(Matches option)
{
    OptionSet& set = m_impl->matchOptions;
    if (!set.count(option))
        return;
    set.erase(option);
    if (option == MatchDefault)
        return;
    for (int m = MatchDefault; m <= MatchNotDotNull; ++m)
        if (set.count(m))
            return;
    set.insert(MatchDefault);
}

bool RegularExpression::IsMatchOption(Matches option) const
{
    return m_impl->matchOptions.count(option) != 0;
}

void RegularExpression::ClearMatchOptions()
{
    m_impl->matchOptions.clear();
}

}  // namespace RegexClass
