#pragma once
// Reads CSV as the program writes it (quoted fields may hold commas, quotes and line
// breaks), so that tests can count and compare records rather than lines.

#include <string>
#include <vector>

namespace plovik_test {

using CsvRecord = std::vector<std::string>;

inline std::vector<CsvRecord> ParseCsv(const std::string& s)
{
    std::vector<CsvRecord> records;
    CsvRecord record;
    std::string field;
    bool bQuoted = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (bQuoted) {
            if (c == '"' && i + 1 < s.size() && s[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                bQuoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            bQuoted = true;
        } else if (c == ',') {
            record.push_back(field);
            field.clear();
        } else if (c == '\n') {
            record.push_back(field);
            field.clear();
            records.push_back(record);
            record.clear();
        } else {
            field += c;
        }
    }
    return records;
}

}  // namespace plovik_test
