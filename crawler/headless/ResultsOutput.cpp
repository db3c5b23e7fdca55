#include "ResultsOutput.h"

#include "CsvWriter.h"
#include "GraphWriters.h"
#include "JsonWriter.h"
#include "TableWriter.h"

namespace plovik {

bool PrintsLinkGraph(OutputFormat format)
{
    return format == OutputFormat::Edges || format == OutputFormat::GraphMl || format == OutputFormat::Dot;
}

void WriteResults(std::ostream& out, OutputFormat format, const std::vector<ResultRow>& rows,
                  const std::string& strTotal, const std::vector<RowLink>& links)
{
    switch (format) {
    case OutputFormat::Table:
        WriteTable(out, rows);
        break;
    case OutputFormat::Csv:
        WriteCsv(out, rows);
        break;
    case OutputFormat::Json:
        WriteJson(out, rows, strTotal);
        break;
    case OutputFormat::Edges:
        WriteEdges(out, rows, links);
        break;
    case OutputFormat::GraphMl:
        WriteGraphMl(out, rows, links);
        break;
    case OutputFormat::Dot:
        WriteDot(out, rows, links);
        break;
    }
}

}  // namespace plovik
