#include "TextScan.h"

#include "FileSearchEngine.h"

#include <algorithm>

namespace RegexClass {
namespace detail {

TextScan::TextScan(std::vector<std::string> literals, const ByteTranslation& translation)
    : m_literals(std::move(literals)), m_translation(translation)
{
    for (int b = 0; b < 256; ++b)
        m_identity = m_identity && m_translation[static_cast<std::size_t>(b)] == b;
    m_searchedFrom.resize(m_literals.size());
    m_found.resize(m_literals.size());
}

void TextScan::Reset(const char* last)
{
    m_last = last;
    std::fill(m_searchedFrom.begin(), m_searchedFrom.end(), nullptr);
    std::fill(m_found.begin(), m_found.end(), nullptr);
}

const char* TextScan::Find(const std::string& literal, const char* from) const
{
    if (m_identity)
        return FindText(literal, from, m_last);
    const std::size_t size = literal.size();
    if (static_cast<std::size_t>(m_last - from) < size)
        return nullptr;
    const unsigned char* lit = reinterpret_cast<const unsigned char*>(literal.data());
    const char* const end = m_last - size;
    for (const char* at = from; at <= end; ++at) {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(at);
        std::size_t i = 0;
        while (i < size && m_translation[p[i]] == lit[i])
            ++i;
        if (i == size)
            return at;
    }
    return nullptr;
}

const char* TextScan::Next(const char* from)
{
    const char* best = nullptr;
    for (std::size_t i = 0; i < m_literals.size(); ++i) {
        // A result found from an earlier start stays valid while it lies at
        // or after `from`; "none" from an earlier start stays "none".
        const bool known = m_searchedFrom[i] && m_searchedFrom[i] <= from && (!m_found[i] || m_found[i] >= from);
        if (!known) {
            m_searchedFrom[i] = from;
            m_found[i] = Find(m_literals[i], from);
        }
        if (m_found[i] && (!best || m_found[i] < best))
            best = m_found[i];
    }
    return best;
}

}  // namespace detail
}  // namespace RegexClass
