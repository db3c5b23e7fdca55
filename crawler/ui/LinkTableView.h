#pragma once
// A read-only table of link rows whose header sorts it as the results list does: a
// click sorts ascending, a second click on the same column descending.

#include <QTableView>

#include "LinkTable.h"

namespace plovik {

class LinkTableModel;

class LinkTableView : public QTableView {
    Q_OBJECT

public:
    explicit LinkTableView(LinkTable table, QWidget* pParent = nullptr);

    // The rows in the order shown.
    const LinkTable& Table() const;
    // What a click on a column's header does.
    void OnColumnClick(int nColumn);

private:
    LinkTableModel* m_pModel;
};

}  // namespace plovik
