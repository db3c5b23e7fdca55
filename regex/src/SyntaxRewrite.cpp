#include "SyntaxRewrite.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace RegexClass {
namespace detail {

namespace {

bool OneOf(char c, const char* set)
{
    return c != '\0' && std::strchr(set, c) != nullptr;
}

// Where the engine ends a comment that (?x) mode starts with #.
bool IsSeparator(char c)
{
    return c == '\n' || c == '\r' || c == '\f';
}

class Rewriter {
public:
    Rewriter(const std::string& in, std::uint32_t classic, EngineGroup group)
        : m_in(in),
          m_classic(classic),
          m_perlGroup(group == EngineGroup::Perl || group == EngineGroup::PosixExtended),
          m_emacs(group == EngineGroup::Emacs),
          // The classic engine read (?...) in every syntax without backslashed
          // parentheses; the POSIX families of 1.81 refuse it.
          m_extensions(group == EngineGroup::Perl && !Has(kBkParens)),
          m_groupsWithoutExtensions(group == EngineGroup::Perl && Has(kBkParens))
    {
    }

    EngineExpression Run()
    {
        EngineExpression result;
        m_out.reserve(m_in.size() + m_in.size() / 8);
        result.origins.reserve(m_out.capacity());
        while (m_pos < m_in.size()) {
            const std::size_t start = m_pos;
            const std::size_t emitted = m_out.size();
            Step();
            // Close enough for pointing at an error: copied text maps one to
            // one, an inserted backslash to its neighbour.
            for (std::size_t k = emitted; k < m_out.size(); ++k)
                result.origins.push_back(std::min(start + (k - emitted), m_pos));
        }
        result.text = std::move(m_out);
        result.sourceLength = m_in.size();
        return result;
    }

private:
    bool Has(std::uint32_t bit) const { return (m_classic & bit) != 0; }
    bool More(std::size_t ahead = 0) const { return m_pos + ahead < m_in.size(); }

    // Whether the classic syntax reads `c`, bare or after a backslash, as an operator.
    bool ClassicOperator(char c, bool escaped) const
    {
        switch (c) {
        case '+':
        case '?':
            return !Has(kLimitedOps) && escaped == Has(kBkPlusQm);
        case '|':
            return !Has(kLimitedOps) && escaped == Has(kBkVbar);
        case '{':
        case '}':
            return Has(kIntervals) && escaped == Has(kBkBraces);
        default:
            return escaped == Has(kBkParens);  // ( and )
        }
    }

    // Writes `c` the way the engine group spells that operator or that literal.
    void Emit(char c, bool asOperator)
    {
        if (m_perlGroup) {
            // Right after a group opened, "(?" would start an extension where
            // none is allowed: a repeat without operand is a literal there.
            if (c == '?' && asOperator && m_groupsWithoutExtensions && m_out.size() == m_groupOpenedAt)
                asOperator = false;
            if (!asOperator)
                m_out += '\\';
            m_out += c;
        } else if (asOperator) {
            m_out += '\\';
            m_out += c;
        } else if (m_emacs && (c == '+' || c == '?')) {
            // Emacs reads these as operators bare as well.
            m_out += '[';
            m_out += c;
            m_out += ']';
        } else {
            m_out += c;
        }
    }

    void Copy(std::size_t end)
    {
        m_out.append(m_in, m_pos, end - m_pos);
        m_pos = end;
    }

    // Copies through the first `closing` at or after `from`, or to the end.
    void CopyThrough(const char* closing, std::size_t from)
    {
        const std::size_t found = m_in.find(closing, from);
        Copy(found == std::string::npos ? m_in.size() : found + std::strlen(closing));
    }

    void Step()
    {
        const char c = m_in[m_pos];
        if (m_extended && c == '#') {
            std::size_t end = m_pos;
            while (end < m_in.size() && !IsSeparator(m_in[end]))
                ++end;
            Copy(end);
            return;
        }
        if (c == '\\')
            return Escape();
        if (c == '[')
            return Set();
        if (OneOf(c, "+?|{}()")) {
            ++m_pos;
            return Operator(c, false);
        }
        m_out += c;
        ++m_pos;
    }

    void Operator(char c, bool escaped)
    {
        const bool asOperator = ClassicOperator(c, escaped);
        if (asOperator && c == '(')
            return OpenGroup();
        if (asOperator && c == ')')
            return CloseGroup();
        Emit(c, asOperator);
    }

    void OpenGroup()
    {
        Emit('(', true);
        if (m_extensions && More() && m_in[m_pos] == '?')
            return Extension();
        m_groups.push_back(m_extended);
        m_groupOpenedAt = m_out.size();
    }

    void CloseGroup()
    {
        Emit(')', true);
        if (m_groups.empty())
            return;
        m_extended = m_groups.back();
        m_groups.pop_back();
    }

    // "(?" has been read: the extension's introducer is copied as it is.
    void Extension()
    {
        m_out += '?';
        ++m_pos;
        if (More() && m_in[m_pos] == '#')
            return CopyThrough(")", m_pos);  // comment

        // Mode switches: (?imsx-imsx) for the rest of the group, (?imsx-imsx:...) for a new one.
        std::size_t end = m_pos;
        bool on = true;
        bool extended = m_extended;
        for (; end < m_in.size() && OneOf(m_in[end], "imsx-"); ++end) {
            if (m_in[end] == '-')
                on = false;
            if (m_in[end] == 'x')
                extended = on;
        }
        if (end < m_in.size() && (m_in[end] == ')' || m_in[end] == ':')) {
            const bool opensGroup = m_in[end] == ':';
            Copy(end + 1);
            if (opensGroup)
                m_groups.push_back(m_extended);
            m_extended = extended;
            return;
        }

        if (More() && m_in[m_pos] == '\'') {  // (?'name'
            CopyThrough("'", m_pos + 1);
            m_groups.push_back(m_extended);
            return;
        }
        // (?:, (?=, (?<name>, ... open a group; (?1), (?&name), (?P=name) are complete.
        while (More()) {
            const char c = m_in[m_pos];
            if (OneOf(c, "(\\["))
                break;  // a condition, or text the engine will judge
            m_out += c;
            ++m_pos;
            if (c == ')')
                return;
            if (OneOf(c, ":=!>|"))
                break;
        }
        m_groups.push_back(m_extended);
    }

    void Escape()
    {
        if (!More(1)) {  // a trailing backslash: the engine reports it
            m_out += '\\';
            ++m_pos;
            return;
        }
        const char c = m_in[m_pos + 1];
        m_pos += 2;
        if (OneOf(c, "+?|{}()"))
            return Operator(c, true);
        if (c >= '1' && c <= '9' && !Has(kBkRefs)) {
            m_out += c;  // not a back-reference: the digit itself
            return;
        }
        m_out += '\\';
        m_out += c;
        if (m_perlGroup && c == 'Q')
            return CopyThrough("\\E", m_pos);
        // \x{41}, \p{L}, \N{name}, \g{1}, \k{name}: the braces belong to the escape.
        if (OneOf(c, "xpPNgk") && More() && m_in[m_pos] == '{')
            CopyThrough("}", m_pos);
    }

    // A bracket expression: [, an optional ^, a leading ] that is literal,
    // then everything up to the ] that closes it.
    void Set()
    {
        Copy(m_pos + 1);
        if (More() && m_in[m_pos] == '^')
            Copy(m_pos + 1);
        if (More() && m_in[m_pos] == ']')
            Copy(m_pos + 1);
        while (More()) {
            const char c = m_in[m_pos];
            if (c == ']')
                return Copy(m_pos + 1);
            if (c == '[' && More(1) && OneOf(m_in[m_pos + 1], ":=.")) {
                const char kind = m_in[m_pos + 1];
                if (kind == ':' && !Has(kCharClasses)) {
                    m_out += "\\[";  // no classes: [ and : are members
                    ++m_pos;
                    continue;
                }
                const char closing[] = {kind, ']', '\0'};
                CopyThrough(closing, m_pos + 2);
                continue;
            }
            if (c == '\\') {
                if (Has(kEscapeInLists)) {
                    Copy(More(1) ? m_pos + 2 : m_pos + 1);
                } else {
                    m_out += "\\\\";  // a member like any other
                    ++m_pos;
                }
                continue;
            }
            Copy(m_pos + 1);
        }
    }

    const std::string& m_in;
    const std::uint32_t m_classic;
    const bool m_perlGroup;
    const bool m_emacs;
    const bool m_extensions;
    const bool m_groupsWithoutExtensions;
    std::size_t m_pos = 0;
    std::string m_out;
    bool m_extended = false;     // inside (?x): # starts a comment
    std::vector<bool> m_groups;  // the (?x) state outside each open group
    std::size_t m_groupOpenedAt = std::string::npos;
};

// The Perl group reads the default family's syntax as it is.
bool PerlReadsAsItIs(std::uint32_t classic)
{
    const std::uint32_t needed = kEscapeInLists | kCharClasses | kIntervals | kBkRefs;
    const std::uint32_t foreign = kLimitedOps | kBkPlusQm | kBkBraces | kBkParens | kBkVbar;
    return (classic & needed) == needed && (classic & foreign) == 0;
}

}  // namespace

EngineExpression ToEngineSyntax(const std::string& expression, std::uint32_t classic, EngineGroup group)
{
    const bool asItIs = (classic & kLiteral) != 0 ||
        ((group == EngineGroup::Perl || group == EngineGroup::PosixExtended) && PerlReadsAsItIs(classic));
    if (asItIs)
        return EngineExpression{expression, {}, expression.size()};
    EngineExpression rewritten = Rewriter(expression, classic, group).Run();
    if (rewritten.text == expression)
        rewritten.origins.clear();
    return rewritten;
}

std::string QuoteCallersText(std::string message, const std::string& expression, const EngineExpression& engine,
                             std::ptrdiff_t position)
{
    if (engine.origins.empty() || position < 0)
        return message;
    // The engine appends "... the regular expression[ fragment]: '<text>>>>HERE>>><text>'."
    const std::size_t phrase = message.find("The error occurred while parsing the regular expression");
    const std::size_t quote = phrase == std::string::npos ? phrase : message.find(": '", phrase);
    if (quote == std::string::npos || message.find(">>>HERE>>>", quote) == std::string::npos)
        return message;
    const std::size_t at = std::min(engine.OriginOf(static_cast<std::size_t>(position)), expression.size());
    const std::size_t first = at > 10 ? at - 10 : 0;
    const std::size_t last = std::min(at + 10, expression.size());
    message.replace(quote + 3, std::string::npos,
                    expression.substr(first, at - first) + ">>>HERE>>>" + expression.substr(at, last - at) + "'.");
    return message;
}

}  // namespace detail
}  // namespace RegexClass
