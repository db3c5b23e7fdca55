// Reads an expression of the default syntax into, per node, either every
// text it can match (while those are few and short) or a set of texts one of
// which it always contains, the usual algebra of required substrings.

#include "RequiredText.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace RegexClass {
namespace detail {

namespace {

namespace rc = boost::regex_constants;

constexpr std::size_t kMaxStrings = 16;  // more alternatives cost more scans than they save
constexpr std::size_t kMaxLength = 32;

// Thrown on a construct the reasoning does not model: nothing is required.
struct Unsure {};

struct Info {
    // exact: `strings` is every text the node can match. Otherwise every
    // match holds one of `strings`; empty means nothing known.
    bool exact = false;
    std::vector<std::string> strings;

    static Info Text(const std::string& text) { return Info{true, {text}}; }
    static Info Empty() { return Text(std::string()); }
    static Info Anything() { return Info{}; }
};

// What an Info guarantees every match contains ({} = nothing). A text that
// holds another one of the set adds nothing to the requirement.
std::vector<std::string> Required(const Info& info)
{
    std::vector<std::string> set;
    for (const std::string& s : info.strings) {
        if (s.empty())
            return {};
        bool holdsAnother = false;
        for (const std::string& other : info.strings)
            holdsAnother = holdsAnother || (other.size() < s.size() && s.find(other) != std::string::npos);
        if (!holdsAnother)
            set.push_back(s);
    }
    return set;
}

// Larger is a better filter: long literals, few of them.
long Score(const std::vector<std::string>& set)
{
    if (set.empty())
        return -1;
    std::size_t shortest = set[0].size();
    for (const std::string& s : set)
        shortest = std::min(shortest, s.size());
    return static_cast<long>(shortest) * 8 - static_cast<long>(set.size());
}

Info Inexact(std::vector<std::string> required)
{
    return Info{false, std::move(required)};
}

Info BetterOf(const Info& a, const Info& b)
{
    std::vector<std::string> ra = Required(a), rb = Required(b);
    return Inexact(Score(ra) >= Score(rb) ? ra : rb);
}

void Unique(std::vector<std::string>& set)
{
    std::sort(set.begin(), set.end());
    set.erase(std::unique(set.begin(), set.end()), set.end());
}

Info Concat(const Info& a, const Info& b)
{
    if (a.exact && b.exact && a.strings.size() * b.strings.size() <= kMaxStrings) {
        Info product{true, {}};
        bool fits = true;
        for (const std::string& x : a.strings)
            for (const std::string& y : b.strings) {
                fits = fits && x.size() + y.size() <= kMaxLength;
                product.strings.push_back(x + y);
            }
        if (fits) {
            Unique(product.strings);
            return product;
        }
    }
    return BetterOf(a, b);
}

Info Alternate(const Info& a, const Info& b)
{
    if (a.exact && b.exact && a.strings.size() + b.strings.size() <= kMaxStrings) {
        Info both{true, a.strings};
        both.strings.insert(both.strings.end(), b.strings.begin(), b.strings.end());
        Unique(both.strings);
        return both;
    }
    std::vector<std::string> ra = Required(a), rb = Required(b);
    if (ra.empty() || rb.empty() || ra.size() + rb.size() > kMaxStrings)
        return Info::Anything();
    ra.insert(ra.end(), rb.begin(), rb.end());
    Unique(ra);
    return Inexact(ra);
}

// A repeated node: x{min} (`head`), then, when `open`, what may or may not be there.
struct Repeated {
    Info head;
    bool open;
};

Repeated Repeat(const Info& x, unsigned min, unsigned max)
{
    if (max == 0)
        return {Info::Empty(), false};
    if (min == 0) {
        if (max == 1)
            return {Alternate(x, Info::Empty()), false};
        return {Info::Empty(), true};
    }
    Info head = x;
    unsigned copies = 1;
    for (; copies < min && copies <= kMaxLength && head.exact; ++copies)
        head = Concat(head, x);
    if (!head.exact || copies < min)
        head = Inexact(Required(x));
    return {head, min != max};
}

// A concatenation read left to right: runs of exactly known texts joined
// up, each run and each other part a candidate requirement.
class Chain {
public:
    void Append(const Info& part)
    {
        if (part.exact) {
            Info joined = Concat(m_run, part);
            if (joined.exact) {
                m_run = joined;
                return;
            }
            Break();
            m_run = part;
            return;
        }
        Break();
        Offer(part);
    }
    // What follows may be anything: the current run ends.
    void Break()
    {
        Offer(m_run);
        m_run = Info::Empty();
    }
    Info Result()
    {
        if (!m_broken)
            return m_run;
        Break();
        return Inexact(m_best);
    }

private:
    void Offer(const Info& part)
    {
        m_broken = true;
        std::vector<std::string> required = Required(part);
        if (Score(required) > Score(m_best))
            m_best = required;
    }

    Info m_run = Info::Empty();
    bool m_broken = false;
    std::vector<std::string> m_best;
};

class Reader {
public:
    Reader(const std::string& expression, const ByteTranslation& translation)
        : m_text(expression), m_translation(translation)
    {
    }

    RequiredText Read()
    {
        Info top = Alternation();
        if (m_at != m_text.size())
            throw Unsure();  // an unmatched ")"
        RequiredText result;
        result.literals = Required(top);
        result.withinLine = !result.literals.empty() && !m_newline && !m_lookPastLine;
        return result;
    }

private:
    bool AtEnd() const { return m_at >= m_text.size(); }
    char Peek(std::size_t ahead = 0) const { return m_at + ahead < m_text.size() ? m_text[m_at + ahead] : '\0'; }
    bool HasAhead(std::size_t ahead) const { return m_at + ahead < m_text.size(); }

    Info Literal(char c)
    {
        if (c == '\n')
            m_newline = true;
        return Info::Text(std::string(1, static_cast<char>(m_translation[static_cast<unsigned char>(c)])));
    }

    Info Alternation()
    {
        Info result = Sequence();
        while (!AtEnd() && Peek() == '|') {
            ++m_at;
            result = Alternate(result, Sequence());
        }
        return result;
    }

    Info Sequence()
    {
        Chain chain;
        while (!AtEnd() && Peek() != '|' && Peek() != ')') {
            Repeated part = Quantified(Atom());
            chain.Append(part.head);
            if (part.open)
                chain.Break();
        }
        return chain.Result();
    }

    // Reads a decimal number of at most six digits.
    unsigned Number()
    {
        unsigned value = 0;
        std::size_t digits = 0;
        while (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
            if (++digits > 6)
                throw Unsure();
            value = value * 10 + static_cast<unsigned>(Peek() - '0');
            ++m_at;
        }
        if (digits == 0)
            throw Unsure();
        return value;
    }

    Repeated Quantified(const Info& atom)
    {
        if (AtEnd())
            return {atom, false};
        unsigned min = 0, max = 0;
        const unsigned kMany = ~0u;
        switch (Peek()) {
        case '*':
            ++m_at, min = 0, max = kMany;
            break;
        case '+':
            ++m_at, min = 1, max = kMany;
            break;
        case '?':
            ++m_at, min = 0, max = 1;
            break;
        case '{':
            // Only the plain forms {n}, {n,} and {n,m}; anything else the
            // engine may read as text.
            ++m_at;
            min = max = Number();
            if (Peek() == ',') {
                ++m_at;
                max = Peek() == '}' ? kMany : Number();
            }
            if (Peek() != '}' || max < min)
                throw Unsure();
            ++m_at;
            break;
        default:
            return {atom, false};
        }
        if (!AtEnd() && (Peek() == '?' || Peek() == '+'))
            ++m_at;  // lazy or possessive: the same texts
        if (!AtEnd() && std::strchr("*+?{", Peek()))
            throw Unsure();
        return Repeat(atom, min, max);
    }

    Info Atom()
    {
        const char c = Peek();
        ++m_at;
        switch (c) {
        case '(':
            return Group();
        case '[':
            Set();
            return Info::Anything();
        case '.':
            m_newline = true;  // a dot may match a newline under the engine's defaults
            return Info::Anything();
        case '^':
        case '$':
            return Info::Empty();
        case '\\':
            return Escape();
        case '*':
        case '+':
        case '?':
        case '{':
        case '}':
            throw Unsure();
        default:
            return Literal(c);
        }
    }

    Info Group()
    {
        bool lookaround = false;
        if (Peek() == '*')
            throw Unsure();  // a verb
        if (Peek() == '?') {
            ++m_at;
            const char kind = Peek();
            if (kind == ':' || kind == '>') {
                ++m_at;
            } else if (kind == '=' || kind == '!') {
                ++m_at;
                lookaround = true;
            } else if (kind == '<' && (Peek(1) == '=' || Peek(1) == '!')) {
                m_at += 2;
                lookaround = true;
            } else if (kind == '<' && HasAhead(1) && std::isalpha(static_cast<unsigned char>(Peek(1)))) {
                // A named group: (?<name>...)
                ++m_at;
                while (!AtEnd() && (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '_'))
                    ++m_at;
                if (Peek() != '>')
                    throw Unsure();
                ++m_at;
            } else {
                throw Unsure();  // option settings, conditionals, recursion, comments
            }
        }
        Info inner = Alternation();
        if (Peek() != ')' || AtEnd())
            throw Unsure();
        ++m_at;
        // A lookaround consumes nothing; its content still counts for newlines.
        return lookaround ? Info::Empty() : inner;
    }

    Info Escape()
    {
        if (AtEnd())
            throw Unsure();
        const char c = Peek();
        ++m_at;
        switch (c) {
        case 'd':
        case 'w':
            return Info::Anything();
        case 's':
        case 'D':
        case 'W':
        case 'S':
            m_newline = true;
            return Info::Anything();
        case 'b':
        case 'B':
        case '<':
        case '>':
        case 'A':
        case 'z':
        case '`':
        case '\'':
            return Info::Empty();
        case 'Z':  // "at the end, or before newlines that end the text": looks past the line
        case 'G':  // where the previous match ended, which a search in a line does not know
            m_lookPastLine = true;
            return Info::Empty();
        case 'n':
            return Literal('\n');
        case 't':
            return Literal('\t');
        case 'r':
            return Literal('\r');
        case 'f':
            return Literal('\f');
        case 'a':
            return Literal('\a');
        case 'e':
            return Literal('\x1b');
        case 'Q':
            return Quoted();
        default:
            break;
        }
        if (c >= '1' && c <= '9') {
            if (Peek() >= '0' && Peek() <= '9')
                throw Unsure();
            // A back-reference repeats text the expression matched elsewhere:
            // it adds no newline that was not already possible.
            return Info::Anything();
        }
        if (std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80)
            throw Unsure();
        return Literal(c);
    }

    // \Q...\E: text taken as it is, to \E or the end.
    Info Quoted()
    {
        Chain chain;
        while (!AtEnd()) {
            if (Peek() == '\\' && Peek(1) == 'E') {
                m_at += 2;
                break;
            }
            chain.Append(Literal(Peek()));
            ++m_at;
        }
        // A repeat after it applies to its last character alone.
        if (!AtEnd() && std::strchr("*+?{", Peek()))
            throw Unsure();
        return chain.Result();
    }

    // A bracket expression: matches one character, never known text. Only
    // whether it can match a newline is worked out.
    void Set()
    {
        bool negated = false;
        if (Peek() == '^') {
            negated = true;
            ++m_at;
        }
        bool maybeNewline = false;  // some member might be a newline
        bool hasNewline = false;    // a newline is named as a member
        bool first = true;
        for (;;) {
            if (AtEnd())
                throw Unsure();
            const char c = Peek();
            if (c == ']' && !first) {
                ++m_at;
                break;
            }
            first = false;
            int low = -1;  // a plain character that may start a range
            if (c == '[' && (Peek(1) == ':' || Peek(1) == '=' || Peek(1) == '.')) {
                if (Peek(1) != ':')
                    throw Unsure();  // collating elements and equivalence classes
                const std::size_t end = m_text.find(":]", m_at + 2);
                if (end == std::string::npos)
                    throw Unsure();
                if (!NamedClassWithoutNewline(m_text.substr(m_at + 2, end - m_at - 2)))
                    maybeNewline = true;
                m_at = end + 2;
            } else if (c == '\\') {
                if (!HasAhead(1))
                    throw Unsure();
                const char e = Peek(1);
                m_at += 2;
                if (e == 'd' || e == 'w') {
                } else if (e == 's' || e == 'D' || e == 'W' || e == 'S') {
                    maybeNewline = true;
                } else {
                    low = EscapedCharacter(e);
                    if (low == '\n')
                        maybeNewline = hasNewline = true;
                }
            } else {
                ++m_at;
                low = static_cast<unsigned char>(c);
                if (c == '\n')
                    maybeNewline = hasNewline = true;
            }
            if (low >= 0 && Peek() == '-' && HasAhead(1) && Peek(1) != ']') {
                // A range; its ends must be plain printable characters.
                int high = static_cast<unsigned char>(Peek(1));
                m_at += 2;
                if (high == '\\') {
                    if (AtEnd())
                        throw Unsure();
                    high = EscapedCharacter(Peek());
                    ++m_at;
                } else if (high == '[') {
                    throw Unsure();
                }
                if (low > high)
                    throw Unsure();
                if (low < 0x20 || high > 0x7e)
                    maybeNewline = true;
            }
        }
        if (negated ? !hasNewline : maybeNewline)
            m_newline = true;
    }

    // The character that a backslash and `e` stand for where one character
    // is expected (inside brackets).
    static int EscapedCharacter(char e)
    {
        switch (e) {
        case 'n':
            return '\n';
        case 't':
            return '\t';
        case 'r':
            return '\r';
        case 'f':
            return '\f';
        case 'a':
            return '\a';
        case 'e':
            return 0x1b;
        default:
            if (std::isalnum(static_cast<unsigned char>(e)) || static_cast<unsigned char>(e) >= 0x80)
                throw Unsure();
            return static_cast<unsigned char>(e);
        }
    }

    static bool NamedClassWithoutNewline(const std::string& name)
    {
        static const char* const kNames[] = {"alpha", "digit", "alnum", "upper", "lower", "xdigit",
                                             "punct", "word",  "w",     "d",     "l",     "u"};
        for (const char* known : kNames)
            if (name == known)
                return true;
        return false;
    }

    const std::string& m_text;
    const ByteTranslation& m_translation;
    std::size_t m_at = 0;
    bool m_newline = false;       // some part may match a newline
    bool m_lookPastLine = false;  // an assertion depends on text past the line
};

}  // namespace

RequiredText FindRequiredText(const std::string& expression, rc::syntax_option_type syntax,
                              const ByteTranslation& translation)
{
    const rc::syntax_option_type harmless = boost::regbase::icase | boost::regbase::nosubs | boost::regbase::optimize;
    if ((syntax & ~harmless) != boost::regbase::perl_syntax_group)
        return RequiredText();
    try {
        RequiredText result = Reader(expression, translation).Read();
        // A line is what lies between newlines as the engine reads them.
        for (int b = 0; b < 256 && result.withinLine; ++b)
            if ((translation[static_cast<std::size_t>(b)] == '\n') != (b == '\n'))
                result.withinLine = false;
        return result;
    } catch (const Unsure&) {
        return RequiredText();
    }
}

}  // namespace detail
}  // namespace RegexClass
