#pragma once
// Where a token stream is inside svg or math: an <a> there is no HTML anchor, a
// <style> or <title> there holds markup, and "<![CDATA[" opens text. The tree
// builder knows this from its stack of open elements; this keeps only the foreign
// part of that stack, with the tree builder's rules for leaving it:
// - an HTML start tag such as <p>, <div> or <b> closes all foreign elements;
// - an end tag closes the open foreign element of its name and those inside it;
// - an end tag that names no open foreign element closes them all (an HTML element
//   around them is closing; the tree builder would ignore an end tag of an element
//   that is not open at all, which this does not tell apart);
// - inside <foreignObject>, <desc>, <title> (svg), <mi>, <mo>, <mn>, <ms>, <mtext>
//   and an HTML <annotation-xml> (math) tags are HTML again.
// The work per tag is constant but for the elements an end tag closes, each closed
// once: linear in the page, however deep it nests.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace plovik {

class ForeignContent {
public:
    // Whether any svg or math element is open.
    bool Active() const { return !m_open.empty(); }
    // Whether the innermost open element is foreign (not an HTML point inside one).
    bool InForeignElement() const { return Active() && !m_open.back().bHtmlInside; }

    // A start tag (name in lower case); true when it is an HTML element. bFont: a
    // <font> with color, face or size, which ends foreign content as <b> does.
    // strEncoding: its encoding attribute (annotation-xml).
    bool StartTag(const std::string& strName, bool bSelfClosing, bool bFont, const std::string& strEncoding);
    void EndTag(const std::string& strName);

private:
    struct Element {
        std::uint32_t nName;  // index into m_openCount
        bool bSvg;            // svg rather than math
        bool bHtmlInside;     // an integration point: its content is HTML
    };
    std::uint32_t NameId(const std::string& strName);
    void Push(const std::string& strName, bool bSvg, const std::string& strEncoding);
    void Pop();
    // Closes foreign elements until none is open or the innermost holds HTML.
    void CloseToHtml();

    std::vector<Element> m_open;
    std::unordered_map<std::string, std::uint32_t> m_names;
    std::vector<std::uint32_t> m_openCount;  // open elements of each name
};

}  // namespace plovik
