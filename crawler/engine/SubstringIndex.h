#pragma once
// Every substring of one text, for many searches in it: whether a string occurs, and
// where its first and its last occurrence end, in one step per byte of the string
// (a suffix automaton, built in time linear in the text).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plovik {

class SubstringIndex {
public:
    explicit SubstringIndex(const std::string& strText);

    static constexpr std::int32_t kAbsent = -1;
    // The state of the bytes [p, p + n), or kAbsent when they do not occur.
    std::int32_t Find(const char* p, std::size_t n) const;
    // Ends (one past the last byte) of the first and the last occurrence of a state.
    std::size_t FirstEnd(std::int32_t nState) const { return m_states[static_cast<std::size_t>(nState)].nFirstEnd; }
    std::size_t LastEnd(std::int32_t nState) const { return m_states[static_cast<std::size_t>(nState)].nLastEnd; }

private:
    struct State {
        std::size_t nLength = 0;  // of the longest string of the state
        std::int32_t nLink = kAbsent;
        std::int32_t nFirstEdge = kAbsent;
        std::size_t nFirstEnd = 0;
        std::size_t nLastEnd = 0;
    };
    struct Edge {
        unsigned char c;
        std::int32_t nTo;
        std::int32_t nNext;  // the next edge of the same state
    };
    std::int32_t Edge(std::int32_t nState, unsigned char c) const;
    void SetEdge(std::int32_t nState, unsigned char c, std::int32_t nTo);
    void Extend(unsigned char c, std::size_t nEnd);

    std::vector<State> m_states;
    std::vector<struct Edge> m_edges;
    std::int32_t m_nLast = 0;
};

}  // namespace plovik
