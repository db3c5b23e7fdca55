#pragma once

// Line numbers of matches in one text, for string passes and file passes alike.

#include <cstddef>

namespace RegexClass {
namespace detail {

// Line (from 1) and line start of successive positions in one text. Positions
// are expected in increasing order, so a pass reads every byte at most once;
// a position before the last one starts again from the beginning.
class LineCounter {
public:
    explicit LineCounter(const char* start) : m_start(start), m_counted(start) {}

    void AdvanceTo(const char* position);
    unsigned int Line() const { return m_line; }
    // Offset of the line's first character from the start of the text.
    unsigned int LineStart() const { return static_cast<unsigned int>(m_lineStart); }
    unsigned int LineAt(const char* position)
    {
        AdvanceTo(position);
        return m_line;
    }

private:
    const char* m_start;
    const char* m_counted;
    std::size_t m_lineStart = 0;
    unsigned int m_line = 1;
};

}  // namespace detail
}  // namespace RegexClass
