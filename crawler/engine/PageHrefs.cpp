#include "PageHrefs.h"

#include "ForeignContent.h"
#include "MarkupText.h"

// gumbo's tokenizer, an internal part of the library (see cmake/Gumbo.cmake).
#include <gumbo.h>
#include <parser.h>
#include <tokenizer.h>

namespace plovik {

namespace {

// One run of the tokenizer over a text. The tree builder is left out, so the driver
// does its one job for the tokenizer: switching it into the text states after the
// elements whose content is not markup.
class Tokenizer {
public:
    explicit Tokenizer(const std::string& strText)
    {
        m_options = kGumboDefaultOptions;
        // Parse errors are not wanted; with none allowed, none is recorded.
        m_options.max_errors = 0;
        m_output.errors = kGumboEmptyVector;
        m_parser._options = &m_options;
        m_parser._output = &m_output;
        m_parser._tokenizer_state = nullptr;
        m_parser._parser_state = nullptr;
        gumbo_tokenizer_state_init(&m_parser, strText.data(), strText.size());
    }
    ~Tokenizer()
    {
        if (m_bHaveToken)
            gumbo_token_destroy(&m_parser, &m_token);
        gumbo_tokenizer_state_destroy(&m_parser);
    }
    Tokenizer(const Tokenizer&) = delete;
    Tokenizer& operator=(const Tokenizer&) = delete;

    // The next token; the previous one is released. EOF ends the stream.
    const GumboToken& Next()
    {
        if (m_bHaveToken)
            gumbo_token_destroy(&m_parser, &m_token);
        // False means a parse error, after which the token is still good.
        gumbo_lex(&m_parser, &m_token);
        m_bHaveToken = true;
        return m_token;
    }

    void SetState(GumboTokenizerEnum state) { gumbo_tokenizer_set_state(&m_parser, state); }
    // In foreign content "<![CDATA[" opens a section of text rather than a comment.
    void SetForeign(bool bForeign) { gumbo_tokenizer_set_is_current_node_foreign(&m_parser, bForeign); }

private:
    GumboOptions m_options;
    GumboOutput m_output{};
    GumboParser m_parser{};
    GumboToken m_token{};
    bool m_bHaveToken = false;
};

// The text state an HTML start tag switches the tokenizer to, as the tree builder
// would; GUMBO_LEX_DATA for markup.
GumboTokenizerEnum ContentState(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_SCRIPT:
        return GUMBO_LEX_SCRIPT;
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_XMP:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_NOFRAMES:
        return GUMBO_LEX_RAWTEXT;
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_TEXTAREA:
        return GUMBO_LEX_RCDATA;
    case GUMBO_TAG_PLAINTEXT:
        return GUMBO_LEX_PLAINTEXT;
    default:
        return GUMBO_LEX_DATA;
    }
}

// The tag's name in lower case, from its text ("<Name ...>" or "</Name ...>"): up
// to the first blank, '/' or '>', as the tokenizer reads it.
std::string TagName(const GumboToken& token)
{
    const char* p = token.original_text.data + 1;
    const char* const pEnd = token.original_text.data + token.original_text.length;
    if (p < pEnd && *p == '/')
        ++p;
    std::string s;
    for (; p < pEnd && *p != ' ' && *p != '\t' && *p != '\n' && *p != '\f' && *p != '\r' && *p != '/' && *p != '>'; ++p)
        s += (*p >= 'A' && *p <= 'Z') ? static_cast<char>(*p - 'A' + 'a') : *p;
    return s;
}

const char* AttributeValue(const GumboToken& token, const char* pName)
{
    const GumboAttribute* p = gumbo_get_attribute(&token.v.start_tag.attributes, pName);
    return p ? p->value : nullptr;
}

// Whether the page's structure can matter to this start tag: only svg, math and
// what follows them inside foreign content.
bool OpensForeignContent(GumboTag tag)
{
    return tag == GUMBO_TAG_SVG || tag == GUMBO_TAG_MATH;
}

// The hrefs of a text whose left-out runs are at cuts; false when a tag spans a cut,
// which may have changed one of its attribute values.
bool ReadHrefs(const std::string& strText, const std::vector<std::size_t>& cuts, PageHrefs& result)
{
    Tokenizer tokens(strText);
    ForeignContent foreign;
    CutCursor cursor(cuts);
    bool bForeign = false;
    for (;;) {
        if (foreign.InForeignElement() != bForeign) {
            bForeign = !bForeign;
            tokens.SetForeign(bForeign);
        }
        const GumboToken& token = tokens.Next();
        if (token.type == GUMBO_TOKEN_EOF)
            return true;
        if (token.type != GUMBO_TOKEN_START_TAG && token.type != GUMBO_TOKEN_END_TAG)
            continue;
        const std::size_t nBegin = static_cast<std::size_t>(token.original_text.data - strText.data());
        if (cursor.TagSpansCut(nBegin, nBegin + token.original_text.length))
            return false;
        if (token.type == GUMBO_TOKEN_END_TAG) {
            if (foreign.Active())
                foreign.EndTag(TagName(token));
            continue;
        }
        const GumboTag tag = token.v.start_tag.tag;
        if (foreign.Active() || OpensForeignContent(tag)) {
            const char* pEncoding = AttributeValue(token, "encoding");
            const bool bFont = tag == GUMBO_TAG_FONT &&
                (AttributeValue(token, "color") || AttributeValue(token, "face") || AttributeValue(token, "size"));
            if (!foreign.StartTag(TagName(token), token.v.start_tag.is_self_closing, bFont, pEncoding ? pEncoding : ""))
                continue;
        }
        const GumboTokenizerEnum state = ContentState(tag);
        if (state != GUMBO_LEX_DATA)
            tokens.SetState(state);
        if (tag == GUMBO_TAG_A || tag == GUMBO_TAG_AREA) {
            if (const char* pHref = AttributeValue(token, "href"))
                result.hrefs.emplace_back(pHref);
        } else if (tag == GUMBO_TAG_BASE && !result.bHasBase) {
            if (const char* pHref = AttributeValue(token, "href")) {
                result.strBase = pHref;
                result.bHasBase = true;
            }
        }
    }
}

}  // namespace

PageHrefs ReadPageHrefs(const std::string& strHtml)
{
    // The text between tags left out first; read again whole in the rare case that a
    // left-out run was inside an attribute value.
    const MarkupText markup = LeaveOutText(strHtml);
    PageHrefs result;
    if (ReadHrefs(markup.strText, markup.cuts, result))
        return result;
    result = PageHrefs();
    ReadHrefs(strHtml, std::vector<std::size_t>(), result);
    return result;
}

}  // namespace plovik
