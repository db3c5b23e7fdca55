#pragma once
// The file dialogs of the window's commands (Save crawl…, Open crawl…, Export
// links…, a view's Export…), and the paths they give as the C library spells them.

#include <QString>

#include <string>

#include "LinkExport.h"

class QWidget;

namespace plovik {

// Empty when the user cancels.
QString AskSaveCrawlFile(QWidget* pParent);
QString AskOpenCrawlFile(QWidget* pParent);
QString AskBrokenLinksFile(QWidget* pParent);
// layout: the one the chosen filter names; a name ending in .graphml is GraphML
// whatever the filter.
QString AskExportLinksFile(QWidget* pParent, LinkLayout& layout);

// A path for the layers below the window (std::ofstream, SQLite): the file
// system's own bytes for the name.
std::string LocalPath(const QString& sPath);

// The filters the dialogs offer, for tests that answer them.
extern const char* const kCrawlFilter;
extern const char* const kEdgeListFilter;
extern const char* const kGraphMlFilter;

}  // namespace plovik
