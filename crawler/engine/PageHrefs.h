#pragma once
// The hrefs of a page as the standard link rules read them: straight from the HTML
// tokenizer's token stream, with no document tree. A link is one <a> or <area>
// start tag that has an href; the tree builder's error recovery, which re-creates
// open anchors inside later blocks, adds none. The work grows linearly with the
// page, whatever its nesting, and nothing recurses.

#include <string>
#include <vector>

namespace plovik {

// The hrefs in page order, and the href of the first <base> that has one (bHasBase).
struct PageHrefs {
    std::vector<std::string> hrefs;
    std::string strBase;
    bool bHasBase = false;
};

// The whole text is read, zero bytes included (the tokenizer makes them U+FFFD or
// drops them, as HTML does).
PageHrefs ReadPageHrefs(const std::string& strHtml);

}  // namespace plovik
