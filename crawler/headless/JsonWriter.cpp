#include "JsonWriter.h"

#include <cstdio>
#include <ostream>

#include "TableRowSink.h"
#include "TextEscapes.h"

namespace plovik {

namespace {

// A JSON string. Bytes that are not valid UTF-8 are written as the code point of the
// same number (as if Latin-1), so no byte of an address is lost.
std::string JsonString(const std::string& s)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04X", c);
                    out += buf;
                } else
                    out += static_cast<char>(c);
            }
            ++i;
            continue;
        }
        const std::size_t n = Utf8Length(s, i);
        if (n) {
            out.append(s, i, n);
            i += n;
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", c);
            out += buf;
            ++i;
        }
    }
    out += '"';
    return out;
}

}  // namespace

void WriteJson(std::ostream& out, const std::vector<ResultRow>& rows, const std::string& strTotal)
{
    out << "{\"rows\": [";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out << (i ? ",\n  {" : "\n  {");
        for (std::size_t c = 0; c < COL_COUNT; ++c)
            out << (c ? ", " : "") << '"' << kColumnHeadings[c] << "\": " << JsonString(rows[i][c]);
        out << '}';
    }
    out << (rows.empty() ? "" : "\n") << "], \"total\": " << strTotal << "}\n";
}

}  // namespace plovik
