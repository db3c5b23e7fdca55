#pragma once
// A page with the text between tags left out, for the tokenizer to read faster: it
// makes one token of every character of text, and the links are in the tags.
//
// A run of bytes after a '>' up to the next '<' that holds no '<', '>', '"' or '\''
// is left out. Whatever state the tokenizer is in after a '>' (text, raw text,
// script, comment, CDATA, or a quoted attribute value whose quote the run cannot
// close), such a run only adds characters, and no state that reaches the next '<'
// depends on them. So the tags of the shortened text are the page's, in the same
// order, with one exception: a run inside a quoted attribute value changes that
// value. The tag then spans a cut, which the reader checks (TagSpansCut).

#include <cstddef>
#include <string>
#include <vector>

namespace plovik {

struct MarkupText {
    std::string strText;
    std::vector<std::size_t> cuts;  // offsets in strText where a run was left out, ascending
};

MarkupText LeaveOutText(const std::string& strPage);

// Walks the cuts along tags in text order: whether the tag at [nBegin, nEnd) has a
// cut strictly inside it.
class CutCursor {
public:
    explicit CutCursor(const std::vector<std::size_t>& cuts) : m_cuts(cuts) {}
    bool TagSpansCut(std::size_t nBegin, std::size_t nEnd);

private:
    const std::vector<std::size_t>& m_cuts;
    std::size_t m_nNext = 0;
};

}  // namespace plovik
