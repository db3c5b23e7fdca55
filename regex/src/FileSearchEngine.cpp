// The expression side of the file-search layer: match details, the engine
// in each traits model, and the literal prefix that the walk scans for.

#include "FileSearchEngine.h"

#include "EngineFlags.h"
#include "RegularExpressionImpl.h"

#include <cstring>
#include <exception>

#include <string.h>  // memmem

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace RegexClass {
namespace detail {

namespace rc = boost::regex_constants;

// ------------------------------------------------------------------ FileMatch

namespace {

// The engine numbers its entries with int; i is below the results' size.
const boost::sub_match<const char*>& Entry(const FileMatchResults& results, std::size_t i)
{
    return results[static_cast<int>(i)];
}

}  // namespace

std::string FileMatch::Text(std::size_t i) const
{
    if (!m_results)
        return i == 0 ? std::string(m_first, m_last) : std::string();
    if (i >= m_results->size() || !Entry(*m_results, i).matched)
        return std::string();
    return std::string(Entry(*m_results, i).first, Entry(*m_results, i).second);
}

std::uint32_t FileMatch::Position(std::size_t i) const
{
    if (!m_results)
        return i == 0 ? static_cast<std::uint32_t>(m_first - m_fileStart) : kNoPosition;
    if (i >= m_results->size() || !Entry(*m_results, i).matched)
        return kNoPosition;
    return static_cast<std::uint32_t>(Entry(*m_results, i).first - m_fileStart);
}

// --------------------------------------------------------------------- engine

namespace {

// Syntax types that the default syntax acts on outside brackets; every other
// character (letters map to escape types) stands for itself there.
bool IsActive(rc::syntax_type type)
{
    switch (type) {
    case rc::syntax_open_mark:
    case rc::syntax_close_mark:
    case rc::syntax_dollar:
    case rc::syntax_caret:
    case rc::syntax_dot:
    case rc::syntax_star:
    case rc::syntax_plus:
    case rc::syntax_question:
    case rc::syntax_open_set:
    case rc::syntax_or:
    case rc::syntax_escape:
    case rc::syntax_hash:
    case rc::syntax_open_brace:
    case rc::syntax_close_brace:
    case rc::syntax_newline:
        return true;
    default:
        return false;
    }
}

// Whether traits read `c` as the engine's default tables do: either those
// tables as they are, or merged into one (a character's syntax type, else
// its escape type, for both), as the locale-aware traits keep them. Bytes
// beyond ASCII must be plain characters (after a backslash the required-text
// reasoning gives up on them anyway).
bool DefaultSyntax(rc::syntax_type syntax, rc::escape_syntax_type escape, char c)
{
    if (static_cast<unsigned char>(c) & 0x80)
        return syntax == rc::syntax_char;
    const rc::syntax_type plain = boost::BOOST_REGEX_DETAIL_NS::get_default_syntax_type(c);
    const rc::escape_syntax_type escaped = boost::BOOST_REGEX_DETAIL_NS::get_default_escape_syntax_type(c);
    const rc::syntax_type merged = plain != rc::syntax_char ? plain : escaped;
    return (syntax == plain && escape == escaped) || (syntax == merged && escape == merged);
}

template <class Regex>
class EngineOf : public FileSearch::Engine {
public:
    EngineOf(const std::string& expression, rc::syntax_option_type syntax) : m_regex(expression, syntax) {}

    bool Search(const char* first, const char* last, FileMatchResults& results,
                rc::match_flag_type flags) const override
    {
        return boost::regex_search(first, last, results, m_regex, flags);
    }
    void Grep(const char* first, const char* last, rc::match_flag_type flags, const Step& step) const override
    {
        // regex_grep copies its predicate; the step stays behind a reference.
        boost::regex_grep([&step](const FileMatchResults& m) { return step(m); }, first, last, m_regex, flags);
    }
    bool MatchAt(const char* first, const char* at, const char* last, FileMatchResults& results,
                 rc::match_flag_type flags) const override
    {
        flags |= rc::match_continuous;
        if (at != first)
            flags |= rc::match_prev_avail;
        return boost::regex_search(at, last, results, m_regex, flags, first);
    }
    bool SearchFrom(const char* first, const char* from, const char* last, FileMatchResults& results,
                    rc::match_flag_type flags) const override
    {
        if (from != first)
            flags |= rc::match_prev_avail;
        return boost::regex_search(from, last, results, m_regex, flags, first);
    }
    RequiredText Required(const std::string& expression, ByteTranslation& translation) const override
    {
        const auto& traits = m_regex.get_traits();
        const bool icase = (m_regex.flags() & rc::icase) != 0;
        for (int b = 0; b < 256; ++b)
            translation[static_cast<std::size_t>(b)] =
                static_cast<unsigned char>(traits.translate(static_cast<char>(b), icase));
        // A message catalogue may give characters another syntax meaning.
        for (char c : expression)
            if (!DefaultSyntax(traits.syntax_type(c), traits.escape_syntax_type(c), c))
                return RequiredText();
        return FindRequiredText(expression, m_regex.flags(), translation);
    }
    std::string SurePrefix(const std::string& expression) const override
    {
        // A message catalogue may give other characters a syntax meaning.
        const auto& traits = m_regex.get_traits();
        for (char c : expression)
            if (traits.syntax_type(c) == rc::syntax_or)
                return std::string();
        std::string prefix = LiteralPrefix(expression);
        for (char c : prefix)
            if (IsActive(traits.syntax_type(c)))
                return std::string();
        if (!prefix.empty() && prefix.size() < expression.size()) {
            rc::syntax_type next = traits.syntax_type(expression[prefix.size()]);
            if (next == rc::syntax_star || next == rc::syntax_plus || next == rc::syntax_question ||
                next == rc::syntax_open_brace)
                prefix.pop_back();
        }
        return prefix;
    }

private:
    Regex m_regex;
};

}  // namespace

std::string LiteralPrefix(const std::string& expression)
{
    // Alternation anywhere could offer a match without the prefix.
    if (expression.find('|') != std::string::npos)
        return std::string();
    static const char kPlain[] = " _-,;:'\"<>=/!@%&~`";
    std::string prefix;
    std::size_t i = 0;
    for (; i < expression.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(expression[i]);
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            (c != 0 && std::strchr(kPlain, c) != nullptr);
        if (!plain)
            break;
        prefix += static_cast<char>(c);
    }
    // A repeat applies to the last character, which may then be absent.
    if (i < expression.size() && std::strchr("*+?{", expression[i]) && !prefix.empty())
        prefix.pop_back();
    return prefix;
}

namespace {

// Candidates where both the first and the last byte of the needle sit in
// place, sixteen positions at a time; each checked in full. Far faster than
// the C library's memmem for the short needles a prefilter looks for. Null
// when none starts before `stop` (the rest is left to the caller).
const char* FindByEnds(const std::string& needle, const char* from, const char* last, const char*& stop)
{
    stop = from;
#if defined(__SSE2__)
    const std::size_t size = needle.size();
    const __m128i head = _mm_set1_epi8(needle[0]);
    const __m128i tail = _mm_set1_epi8(needle[size - 1]);
    for (; static_cast<std::size_t>(last - stop) >= size - 1 + 16; stop += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(stop));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(stop + size - 1));
        unsigned mask =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, head), _mm_cmpeq_epi8(b, tail))));
        for (; mask; mask &= mask - 1) {
            const char* at = stop + __builtin_ctz(mask);
            if (std::memcmp(at + 1, needle.data() + 1, size - 2) == 0)
                return at;
        }
    }
#else
    (void)needle;
    (void)last;
#endif
    return nullptr;
}

}  // namespace

const char* FindText(const std::string& needle, const char* from, const char* last)
{
    if (from >= last)
        return nullptr;
    if (needle.size() == 1)
        return static_cast<const char*>(std::memchr(from, needle[0], static_cast<std::size_t>(last - from)));
    if (const char* at = FindByEnds(needle, from, last, from))
        return at;
#if defined(__GLIBC__)
    return static_cast<const char*>(
        ::memmem(from, static_cast<std::size_t>(last - from), needle.data(), needle.size()));
#else
    // No memmem in this C library: candidates by their first byte.
    const std::size_t size = needle.size();
    for (const char* at = from; static_cast<std::size_t>(last - at) >= size; ++at) {
        at = static_cast<const char*>(std::memchr(at, needle[0], static_cast<std::size_t>(last - at) - size + 1));
        if (!at)
            return nullptr;
        if (std::memcmp(at, needle.data(), size) == 0)
            return at;
    }
    return nullptr;
#endif
}

// ------------------------------------------------------- FileSearch: expression

FileSearch::FileSearch() = default;
FileSearch::~FileSearch() = default;

void FileSearch::SetTraits(SearchTraits traits)
{
    m_traits = traits;
}

bool FileSearch::SetExpression(const std::string& expression, bool ignoreCase)
{
    m_engine.reset();
    m_prefix.clear();
    m_plainText = false;
    m_required = RequiredText();
    // The engine's default syntax: the classic "normal" family.
    std::uint32_t classic = kEscapeInLists | kCharClasses | kIntervals | kBkRefs | kNoCollate | kUseExcept;
    if (ignoreCase)
        classic |= kIcase;
    const rc::syntax_option_type syntax = EngineSyntaxFlags(classic);
    try {
        switch (m_traits) {
        case SearchTraits::Win32:
            m_engine.reset(new EngineOf<Win32Regex>(expression, syntax));
            break;
        case SearchTraits::C:
            m_engine.reset(new EngineOf<CRegex>(expression, syntax));
            break;
        default:
            m_engine.reset(new EngineOf<CppRegex>(expression, syntax));
            break;
        }
    } catch (const std::exception&) {
        // A rejected expression, or traits whose catalogue cannot be opened.
        m_engine.reset();
    }
    if (m_engine && !ignoreCase) {
        m_prefix = m_engine->SurePrefix(expression);
        m_plainText = !m_prefix.empty() && m_prefix == expression;
        // A short prefix is found faster by the engine's own scan.
        if (m_prefix.size() < 3 && !m_plainText)
            m_prefix.clear();
    }
    if (m_engine && m_prefix.empty())
        m_required = m_engine->Required(expression, m_translation);
    return m_engine != nullptr;
}

bool FileSearch::HasExpression() const
{
    return m_engine != nullptr;
}

}  // namespace detail
}  // namespace RegexClass
