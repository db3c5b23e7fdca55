#include "SubstringIndex.h"

#include <algorithm>

namespace plovik {

SubstringIndex::SubstringIndex(const std::string& strText)
{
    m_states.reserve(2 * strText.size() + 2);
    m_edges.reserve(3 * strText.size() + 2);
    m_states.emplace_back();
    for (std::size_t i = 0; i < strText.size(); ++i)
        Extend(static_cast<unsigned char>(strText[i]), i + 1);
    // A state's last end is the largest of those below it in the suffix-link tree:
    // longer states first.
    std::vector<std::int32_t> order(m_states.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<std::int32_t>(i);
    std::sort(order.begin(), order.end(), [this](std::int32_t a, std::int32_t b) {
        return m_states[static_cast<std::size_t>(a)].nLength > m_states[static_cast<std::size_t>(b)].nLength;
    });
    for (std::int32_t v : order) {
        const State& s = m_states[static_cast<std::size_t>(v)];
        if (s.nLink != kAbsent) {
            State& parent = m_states[static_cast<std::size_t>(s.nLink)];
            parent.nLastEnd = std::max(parent.nLastEnd, s.nLastEnd);
        }
    }
}

std::int32_t SubstringIndex::Edge(std::int32_t nState, unsigned char c) const
{
    for (std::int32_t e = m_states[static_cast<std::size_t>(nState)].nFirstEdge; e != kAbsent;
         e = m_edges[static_cast<std::size_t>(e)].nNext)
        if (m_edges[static_cast<std::size_t>(e)].c == c)
            return m_edges[static_cast<std::size_t>(e)].nTo;
    return kAbsent;
}

void SubstringIndex::SetEdge(std::int32_t nState, unsigned char c, std::int32_t nTo)
{
    State& s = m_states[static_cast<std::size_t>(nState)];
    for (std::int32_t e = s.nFirstEdge; e != kAbsent; e = m_edges[static_cast<std::size_t>(e)].nNext)
        if (m_edges[static_cast<std::size_t>(e)].c == c) {
            m_edges[static_cast<std::size_t>(e)].nTo = nTo;
            return;
        }
    m_edges.push_back({c, nTo, s.nFirstEdge});
    s.nFirstEdge = static_cast<std::int32_t>(m_edges.size() - 1);
}

void SubstringIndex::Extend(unsigned char c, std::size_t nEnd)
{
    const auto nCur = static_cast<std::int32_t>(m_states.size());
    State cur;
    cur.nLength = m_states[static_cast<std::size_t>(m_nLast)].nLength + 1;
    cur.nFirstEnd = cur.nLastEnd = nEnd;
    m_states.push_back(cur);
    std::int32_t p = m_nLast;
    while (p != kAbsent && Edge(p, c) == kAbsent) {
        SetEdge(p, c, nCur);
        p = m_states[static_cast<std::size_t>(p)].nLink;
    }
    if (p == kAbsent) {
        m_states[static_cast<std::size_t>(nCur)].nLink = 0;
    } else {
        const std::int32_t q = Edge(p, c);
        if (m_states[static_cast<std::size_t>(p)].nLength + 1 == m_states[static_cast<std::size_t>(q)].nLength) {
            m_states[static_cast<std::size_t>(nCur)].nLink = q;
        } else {
            // q also stands for longer strings: split off the shorter ones.
            const auto nClone = static_cast<std::int32_t>(m_states.size());
            State clone = m_states[static_cast<std::size_t>(q)];
            clone.nLength = m_states[static_cast<std::size_t>(p)].nLength + 1;
            clone.nFirstEdge = kAbsent;
            clone.nLastEnd = 0;  // filled from below in the constructor
            m_states.push_back(clone);
            for (std::int32_t e = m_states[static_cast<std::size_t>(q)].nFirstEdge; e != kAbsent;
                 e = m_edges[static_cast<std::size_t>(e)].nNext) {
                const struct Edge edge = m_edges[static_cast<std::size_t>(e)];
                SetEdge(nClone, edge.c, edge.nTo);
            }
            while (p != kAbsent && Edge(p, c) == q) {
                SetEdge(p, c, nClone);
                p = m_states[static_cast<std::size_t>(p)].nLink;
            }
            m_states[static_cast<std::size_t>(q)].nLink = nClone;
            m_states[static_cast<std::size_t>(nCur)].nLink = nClone;
        }
    }
    m_nLast = nCur;
}

std::int32_t SubstringIndex::Find(const char* p, std::size_t n) const
{
    std::int32_t nState = 0;
    for (std::size_t i = 0; i < n && nState != kAbsent; ++i)
        nState = Edge(nState, static_cast<unsigned char>(p[i]));
    return nState;
}

}  // namespace plovik
