#include "CsvWriter.h"

#include <ostream>

#include "TableRowSink.h"

namespace plovik {

std::string CsvField(const std::string& s)
{
    if (s.find_first_of(",\"\r\n") == std::string::npos)
        return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

void WriteCsv(std::ostream& out, const std::vector<ResultRow>& rows)
{
    for (int c = 0; c < COL_COUNT; ++c)
        out << (c ? "," : "") << kColumnHeadings[c];
    out << '\n';
    for (const ResultRow& row : rows) {
        for (int c = 0; c < COL_COUNT; ++c)
            out << (c ? "," : "") << CsvField(row[c]);
        out << '\n';
    }
}

}  // namespace plovik
