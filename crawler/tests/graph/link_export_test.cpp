// "Export links…": the layout a file name asks for, and files written whole or not
// at all.

#include <gtest/gtest.h>

#include <sstream>

#include "LinkExport.h"
#include "SampleLinkGraph.h"
#include "SiteLinkGraph.h"
#include "TempFolder.h"
#include "WholeFile.h"

using namespace plovik;
using namespace plovik_test;

TEST(LinkExport, TheFileNameChoosesTheLayout)
{
    struct Row {
        const char* path;
        LinkLayout layout;
    };
    const Row rows[] = {
        {"links.graphml", LinkLayout::GraphMl}, {"C:\\out\\Links.GraphML", LinkLayout::GraphMl},
        {"links.csv", LinkLayout::Edges},       {"links", LinkLayout::Edges},
        {"graphml", LinkLayout::Edges},         {"links.graphml.csv", LinkLayout::Edges},
        {".graphml", LinkLayout::GraphMl},
    };
    for (const Row& row : rows)
        EXPECT_EQ(LinkLayoutForPath(row.path), row.layout) << row.path;
}

TEST(LinkExport, WritesTheGraphsOwnLayouts)
{
    SiteLinkGraph graph;
    FillSampleLinkGraph(graph);
    TempFolder folder;
    for (const LinkLayout layout : {LinkLayout::Edges, LinkLayout::GraphMl}) {
        std::ostringstream expected;
        if (layout == LinkLayout::Edges)
            graph.WriteEdgeList(expected);
        else
            graph.WriteGraphMl(expected);
        const std::string strPath = folder.Path("links");
        std::string strError;
        ASSERT_TRUE(ExportLinkGraph(graph, layout, strPath, strError)) << strError;
        EXPECT_EQ(ReadWholeFile(strPath), expected.str());
    }
    // Six links, each a line of its own after the heading.
    EXPECT_EQ(LinkGraphText(graph, LinkLayout::Edges).rfind("From,To,Status\nsite/,site/a.html,200\n", 0), 0u);
    EXPECT_EQ(graph.RowLinks().size(), 6u);
}

TEST(WholeFile, ReplacesAnOldFileWholeAndLeavesNothingBeside)
{
    TempFolder folder;
    const std::string strPath = folder.Path("out.csv");
    plovik_test::WriteWholeFile(strPath, std::string(10000, 'x'));
    std::string strError;
    ASSERT_TRUE(plovik::WriteWholeFile(strPath, "short\n", strError)) << strError;
    EXPECT_EQ(ReadWholeFile(strPath), "short\n");
    EXPECT_EQ(folder.Names(), std::set<std::string>{"out.csv"});
}

TEST(WholeFile, AFileThatCannotBeWrittenIsRefusedWithItsName)
{
    TempFolder folder;
    const std::string strPath = folder.Path("no-such-folder/out.csv");
    std::string strError;
    EXPECT_FALSE(plovik::WriteWholeFile(strPath, "data", strError));
    EXPECT_NE(strError.find(strPath), std::string::npos) << strError;
    EXPECT_TRUE(folder.Names().empty());
    // A folder where the file should be: the bytes go nowhere, the folder stays.
    const std::string strFolder = folder.Path("taken");
    std::filesystem::create_directory(strFolder);
    EXPECT_FALSE(plovik::WriteWholeFile(strFolder, "data", strError));
    EXPECT_TRUE(std::filesystem::is_directory(strFolder));
    EXPECT_EQ(folder.Names(), std::set<std::string>{"taken"});
}
