#include "ResultColumns.h"

namespace plovik {

std::string ResultsLayout()
{
    std::string s;
    for (int i = 0; i < COL_COUNT; ++i) {
        if (i > 0)
            s += ';';
        s += kColumnHeadings[i];
        s += ',';
        s += std::to_string(kColumnWidths[i]);
    }
    return s;
}

}  // namespace plovik
