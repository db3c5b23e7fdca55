// The GraphML layout read back by a standard XML parser (Qt's): well-formed, one node
// per results row with the row's texts, and edge weights that add up to the links.

#include <gtest/gtest.h>

#include <QString>
#include <QXmlStreamReader>

#include <map>
#include <sstream>

#include "CsvRecords.h"
#include "HeadlessCrawl.h"
#include "LoopbackServer.h"

using namespace plovik;
using namespace plovik_test;

namespace {

std::string Crawl(const std::string& strUrl, OutputFormat format)
{
    HeadlessOptions o;
    o.strUrl = strUrl;
    o.format = format;
    o.crawl.nMaxPages = 10;
    o.crawl.nIterations = 2;
    o.crawl.pageDelay = std::chrono::milliseconds(0);
    o.crawl.http = TestHttpOptions();
    std::ostringstream out, err;
    RunHeadlessCrawl(o, out, err, false);
    return out.str();
}

struct ReadGraph {
    std::vector<std::map<QString, QString>> nodes;  // key -> text
    std::map<QString, std::size_t> nodeIds;
    long nWeights = 0;
    std::size_t nEdges = 0;
    std::size_t nDanglingEdges = 0;
    QString strError;
};

ReadGraph ReadGraphMl(const std::string& strXml)
{
    ReadGraph graph;
    QXmlStreamReader xml(QByteArray::fromStdString(strXml));
    QString strKey;
    std::map<QString, QString>* pNode = nullptr;
    bool bInEdge = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("node")) {
            graph.nodeIds[xml.attributes().value("id").toString()] = graph.nodes.size();
            graph.nodes.emplace_back();
            pNode = &graph.nodes.back();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("edge")) {
            ++graph.nEdges;
            bInEdge = true;
            for (const char* pEnd : {"source", "target"})
                if (!graph.nodeIds.count(xml.attributes().value(pEnd).toString()))
                    ++graph.nDanglingEdges;
        } else if (xml.isStartElement() && xml.name() == QLatin1String("data")) {
            strKey = xml.attributes().value("key").toString();
            const QString strText = xml.readElementText();
            if (bInEdge && strKey == QLatin1String("weight"))
                graph.nWeights += strText.toLong();
            else if (pNode)
                (*pNode)[strKey] = strText;
        } else if (xml.isEndElement() && xml.name() == QLatin1String("node")) {
            pNode = nullptr;
        } else if (xml.isEndElement() && xml.name() == QLatin1String("edge")) {
            bInEdge = false;
        }
    }
    if (xml.hasError())
        graph.strError = xml.errorString();
    return graph;
}

TEST(GraphMl, AStandardParserReadsOneNodePerRow)
{
    LoopbackServer server;
    server.Page("/", Html("<a href='x\"q.html'>q</a><a href=\"a,b.html\">c</a><a href=\"<&amp;'.html\">m</a>"
                          "<a href=\"line\nbreak\r.html\">n</a><a href=\"\xff\xfe.html\">b</a>"
                          "<a href=\"tab\x01\x7f.html\">t</a><a href=\"/away\">r</a><a href=\"a,b.html\">twice</a>"));
    server.Page("/a,b.html", Html("<a href=\"/\">home</a><a href=\"/\">home</a>"));
    server.Redirect("/away", "http://127.0.0.1:1/<&>\"',x;y", 302);

    const std::vector<CsvRecord> rows = ParseCsv(Crawl(server.Url("/"), OutputFormat::Csv));
    const ReadGraph graph = ReadGraphMl(Crawl(server.Url("/"), OutputFormat::GraphMl));
    ASSERT_TRUE(graph.strError.isEmpty()) << graph.strError.toStdString();
    ASSERT_EQ(graph.nodes.size(), rows.size() - 1);
    long nOut = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const std::map<QString, QString>& node = graph.nodes[i - 1];
        nOut += std::stol(rows[i][3]);
        const QString strPage = QString::fromStdString(rows[i][0]);
        // Texts that are UTF-8 come through unchanged, line breaks included.
        if (strPage.toStdString() == rows[i][0] && rows[i][0].find('\x01') == std::string::npos) {
            EXPECT_EQ(node.at("page").toStdString(), rows[i][0]) << i;
        }
        EXPECT_EQ(node.at("out").toStdString(), rows[i][3]) << rows[i][0];
        EXPECT_EQ(node.at("status").toStdString(), rows[i][5]) << rows[i][0];
        EXPECT_EQ(node.at("pr").toStdString(), rows[i][1]) << rows[i][0];
    }
    // Bytes that are no UTF-8 keep their numbers as code points.
    bool bLatin1 = false;
    for (const auto& node : graph.nodes)
        bLatin1 = bLatin1 || node.at("page").endsWith(QString::fromUtf8("/\xc3\xbf\xc3\xbe.html"));
    EXPECT_TRUE(bLatin1);
    EXPECT_EQ(graph.nDanglingEdges, 0u);
    EXPECT_EQ(graph.nWeights, nOut);
    EXPECT_LT(graph.nEdges, static_cast<std::size_t>(nOut));  // repeated links share an edge
}

}  // namespace
