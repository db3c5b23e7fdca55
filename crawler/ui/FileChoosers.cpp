#include "FileChoosers.h"

#include <QFile>
#include <QFileDialog>

namespace plovik {

const char* const kCrawlFilter = "Saved crawls (*.crawl)";
const char* const kEdgeListFilter = "Edge list (*.csv)";
const char* const kGraphMlFilter = "GraphML (*.graphml)";

namespace {

const char* const kAllFilesFilter = "All files (*)";

QString Filters(std::initializer_list<const char*> filters)
{
    QStringList list;
    for (const char* psz : filters)
        list << QString::fromLatin1(psz);
    return list.join(QStringLiteral(";;"));
}

}  // namespace

QString AskSaveCrawlFile(QWidget* pParent)
{
    return QFileDialog::getSaveFileName(pParent, QStringLiteral("Save crawl"), QStringLiteral("site.crawl"),
                                        Filters({kCrawlFilter, kAllFilesFilter}));
}

QString AskOpenCrawlFile(QWidget* pParent)
{
    return QFileDialog::getOpenFileName(pParent, QStringLiteral("Open crawl"), QString(),
                                        Filters({kCrawlFilter, kAllFilesFilter}));
}

QString AskBrokenLinksFile(QWidget* pParent)
{
    return QFileDialog::getSaveFileName(pParent, QStringLiteral("Export broken links"),
                                        QStringLiteral("broken-links.csv"),
                                        Filters({"CSV files (*.csv)", kAllFilesFilter}));
}

QString AskExportLinksFile(QWidget* pParent, LinkLayout& layout)
{
    QString sFilter = QString::fromLatin1(layout == LinkLayout::GraphMl ? kGraphMlFilter : kEdgeListFilter);
    const QString sPath =
        QFileDialog::getSaveFileName(pParent, QStringLiteral("Export links"), QStringLiteral("links.csv"),
                                     Filters({kEdgeListFilter, kGraphMlFilter}), &sFilter);
    if (sPath.isEmpty())
        return sPath;
    const bool bGraphMl =
        sFilter == QString::fromLatin1(kGraphMlFilter) || LinkLayoutForPath(LocalPath(sPath)) == LinkLayout::GraphMl;
    layout = bGraphMl ? LinkLayout::GraphMl : LinkLayout::Edges;
    return sPath;
}

std::string LocalPath(const QString& sPath)
{
    return QFile::encodeName(sPath).toStdString();
}

}  // namespace plovik
