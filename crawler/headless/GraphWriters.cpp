#include "GraphWriters.h"

#include <map>
#include <ostream>
#include <string>

#include "CsvWriter.h"
#include "TableRowSink.h"
#include "TextEscapes.h"

namespace plovik {

namespace {

// Pairs of rows with their number of links, in the order each pair first occurs.
std::vector<std::pair<RowLink, int>> CountedEdges(const std::vector<RowLink>& links)
{
    std::map<RowLink, std::size_t> index;
    std::vector<std::pair<RowLink, int>> edges;
    for (const RowLink& link : links) {
        const auto found = index.emplace(link, edges.size());
        if (found.second)
            edges.emplace_back(link, 0);
        ++edges[found.first->second].second;
    }
    return edges;
}

// A byte that is not part of valid UTF-8 becomes the code point of the same number,
// as the JSON layout writes it, so the text stays valid and no byte is lost.
void AppendLatin1(std::string& out, unsigned char c)
{
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
}

// At a byte from 0x80 on: a whole UTF-8 sequence as it is, or a stray byte as its
// Latin-1 character; i moves past what was taken.
void AppendNonAscii(std::string& out, const std::string& s, std::size_t& i)
{
    const std::size_t n = Utf8Length(s, i);
    if (n) {
        out.append(s, i, n);
        i += n;
    } else {
        AppendLatin1(out, static_cast<unsigned char>(s[i]));
        ++i;
    }
}

// XML text: markup characters and line breaks as references; control bytes that XML
// 1.0 cannot hold at all as their printable escape (\x01).
std::string XmlText(const std::string& s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            AppendNonAscii(out, s, i);
            continue;
        }
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        case '\t':
            out += "&#9;";
            break;
        default:
            if (c < 0x20)
                out += Printable(std::string(1, static_cast<char>(c)));
            else
                out += static_cast<char>(c);
        }
        ++i;
    }
    return out;
}

// A dot quoted string: quotes and backslashes escaped, control bytes as their
// printable escapes, so every id stays on its line.
std::string DotQuoted(const std::string& s)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            AppendNonAscii(out, s, i);
            continue;
        }
        if (c == '"' || c == '\\')
            out += '\\';
        if (c < 0x20 || c == 0x7F) {
            const std::string escaped = Printable(std::string(1, static_cast<char>(c)));
            for (char e : escaped)
                out += e == '\\' ? std::string("\\\\") : std::string(1, e);
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    out += '"';
    return out;
}

const char* const kGraphMlKeys[COL_COUNT] = {"page", "pr", "in", "out", "depth", "status"};

}  // namespace

void WriteEdges(std::ostream& out, const std::vector<ResultRow>& rows, const std::vector<RowLink>& links)
{
    out << "From,To,Status\n";
    for (const RowLink& link : links) {
        const ResultRow& from = rows[static_cast<std::size_t>(link.first)];
        const ResultRow& to = rows[static_cast<std::size_t>(link.second)];
        out << CsvField(from[COL_PAGE]) << ',' << CsvField(to[COL_PAGE]) << ',' << CsvField(to[COL_STATUS]) << '\n';
    }
}

void WriteGraphMl(std::ostream& out, const std::vector<ResultRow>& rows, const std::vector<RowLink>& links)
{
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\">\n";
    // PR is "-" before any iteration, so it is text like the Page.
    for (int c = 0; c < COL_COUNT; ++c) {
        const bool bNumber = c != COL_PAGE && c != COL_PR;
        out << "  <key id=\"" << kGraphMlKeys[c] << "\" for=\"node\" attr.name=\"" << kColumnHeadings[c]
            << "\" attr.type=\"" << (bNumber ? "int" : "string") << "\"/>\n";
    }
    out << "  <key id=\"weight\" for=\"edge\" attr.name=\"weight\" attr.type=\"int\"/>\n"
           "  <graph id=\"crawl\" edgedefault=\"directed\">\n";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out << "    <node id=\"n" << r << "\">";
        for (int c = 0; c < COL_COUNT; ++c)
            out << "<data key=\"" << kGraphMlKeys[c] << "\">" << XmlText(rows[r][static_cast<std::size_t>(c)])
                << "</data>";
        out << "</node>\n";
    }
    for (const auto& edge : CountedEdges(links))
        out << "    <edge source=\"n" << edge.first.first << "\" target=\"n" << edge.first.second
            << "\"><data key=\"weight\">" << edge.second << "</data></edge>\n";
    out << "  </graph>\n</graphml>\n";
}

void WriteDot(std::ostream& out, const std::vector<ResultRow>& rows, const std::vector<RowLink>& links)
{
    out << "digraph crawl {\n";
    for (const ResultRow& row : rows) {
        out << "  " << DotQuoted(row[COL_PAGE]) << " [";
        for (int c = 1; c < COL_COUNT; ++c)
            out << (c > 1 ? ", " : "") << kColumnHeadings[c] << '=' << DotQuoted(row[static_cast<std::size_t>(c)]);
        out << "];\n";
    }
    for (const auto& edge : CountedEdges(links))
        out << "  " << DotQuoted(rows[static_cast<std::size_t>(edge.first.first)][COL_PAGE]) << " -> "
            << DotQuoted(rows[static_cast<std::size_t>(edge.first.second)][COL_PAGE]) << " [weight=" << edge.second
            << "];\n";
    out << "}\n";
}

}  // namespace plovik
