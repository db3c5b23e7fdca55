#include "TableWriter.h"

#include <algorithm>
#include <ostream>

#include "TableRowSink.h"
#include "TextEscapes.h"

namespace plovik {

void WriteTable(std::ostream& out, const std::vector<ResultRow>& rows)
{
    std::size_t widths[COL_COUNT];
    for (std::size_t c = 0; c < COL_COUNT; ++c)
        widths[c] = DisplayWidth(kColumnHeadings[c]);
    std::vector<ResultRow> shown;
    shown.reserve(rows.size());
    for (const ResultRow& row : rows) {
        ResultRow r;
        for (std::size_t c = 0; c < COL_COUNT; ++c) {
            r[c] = Printable(row[c]);
            widths[c] = std::max(widths[c], DisplayWidth(r[c]));
        }
        shown.push_back(std::move(r));
    }
    const auto line = [&](const ResultRow& r) {
        std::string s;
        for (std::size_t c = 0; c < COL_COUNT; ++c) {
            const std::string pad(widths[c] - DisplayWidth(r[c]), ' ');
            if (c > 0)
                s += "  ";
            s += (c == COL_PAGE) ? r[c] + pad : pad + r[c];  // numbers right-aligned
        }
        while (!s.empty() && s.back() == ' ')
            s.pop_back();
        out << s << '\n';
    };
    ResultRow headings;
    std::copy(std::begin(kColumnHeadings), std::end(kColumnHeadings), headings.begin());
    line(headings);
    for (const ResultRow& r : shown)
        line(r);
}

}  // namespace plovik
