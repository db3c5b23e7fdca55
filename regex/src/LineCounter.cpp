#include "LineCounter.h"

#include <cstdint>
#include <cstring>

namespace RegexClass {
namespace detail {

namespace {

unsigned int CountNewlines(const char* first, const char* last)
{
    // Eight bytes at a time: a newline byte becomes a zero byte, and the
    // zero bytes of a word are counted exactly.
    const std::uint64_t ones = 0x0101010101010101ull, low7 = 0x7f7f7f7f7f7f7f7full;
    unsigned int n = 0;
    for (; last - first >= 8; first += 8) {
        std::uint64_t word;
        std::memcpy(&word, first, 8);
        std::uint64_t x = word ^ (ones * '\n');
        std::uint64_t zeros = ~(((x & low7) + low7) | x | low7);
        n += static_cast<unsigned int>(__builtin_popcountll(zeros));
    }
    for (; first < last; ++first)
        n += *first == '\n';
    return n;
}

// The last newline in [first, last), which holds one. (memrchr is not in every C library.)
const char* LastNewline(const char* first, const char* last)
{
    while (last != first && *--last != '\n') {}
    return last;
}

}  // namespace

void LineCounter::AdvanceTo(const char* position)
{
    if (position < m_counted) {
        m_counted = m_start;
        m_lineStart = 0;
        m_line = 1;
    }
    if (position == m_counted)
        return;
    if (const unsigned int newlines = CountNewlines(m_counted, position)) {
        m_line += newlines;
        const char* last = LastNewline(m_counted, position);
        m_lineStart = static_cast<std::size_t>(last - m_start) + 1;
    }
    m_counted = position;
}

}  // namespace detail
}  // namespace RegexClass
