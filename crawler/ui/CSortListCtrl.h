#pragma once
// The sortable report list: columns from a layout string, its own copy of every cell
// text, click-to-sort by any column (numbers, dd/mm/yyyy dates, text), and column
// widths restored from the application profile.

#include <QString>
#include <QTreeView>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace plovik {

class CSortHeaderCtrl;
class SortListModel;

// The texts of one row, in column order. The list owns it.
struct RowData {
    std::vector<QString> texts;
    int nRow = 0;  // current index of the row; kept right by every sort
};

class CSortListCtrl : public QTreeView {
    Q_OBJECT
public:
    explicit CSortListCtrl(QWidget* pParent = nullptr);
    ~CSortListCtrl() override;

    // The list's dialog id: the name of its profile entry.
    void SetDlgCtrlID(int nId) { m_nDlgCtrlId = nId; }
    int GetDlgCtrlID() const { return m_nDlgCtrlId; }

    // Columns from "name,width;name,width;...". False when a column cannot be made.
    bool SetHeadings(const QString& sLayout);
    int GetColumnCount() const { return m_nColumnCount; }
    QString GetColumnName(int nColumn) const;

    // Appends a row with exactly column-count texts; returns its index, -1 when the
    // number of texts is wrong.
    int AddItem(const std::vector<QString>& texts);
    template <class... T>
    int AddItem(const T&... texts) { return AddItem(std::vector<QString>{QString(texts)...}); }

    // Replaces one cell text; false (nothing changed) for a row or column that does not exist.
    bool SetItemText(int nRow, int nColumn, const QString& sText);
    QString GetItemText(int nRow, int nColumn) const;
    int GetItemCount() const { return static_cast<int>(m_rows.size()); }
    void DeleteAllItems();

    // First row whose label (column 0) equals sLabel ignoring ASCII letter case, or -1.
    // Looked up in an index, not by walking the rows.
    int FindItem(const std::string& sLabelUtf8) const;

    void SortColumn(int nColumn, bool bAscending);
    int GetSortColumn() const { return m_nSortColumn; }
    bool IsAscending() const { return m_bSortAscending; }

    // Restores widths from the profile entry "ListCtrls"/<dialog id>; false when the
    // entry is missing, empty or does not fit the columns.
    bool LoadColumnWidths();

    CSortHeaderCtrl* GetHeaderCtrl() const { return m_pHeader; }

    // Comparison of two rows by the sort column; the kind is decided by a's text alone.
    static int CompareItems(const RowData& a, const RowData& b, const CSortListCtrl& list);
    static bool IsNumber(const QString& s);
    static bool IsDate(const QString& s);
    static int CompareNumbers(const QString& x, const QString& y);
    static int CompareDates(const QString& x, const QString& y);

signals:
    // Right click: the row under the cursor (-1 when none) and the global position.
    void RightClicked(int nRow, const QPoint& globalPos);

public slots:
    void OnColumnClick(int nColumn);

protected:
    void contextMenuEvent(QContextMenuEvent* pEvent) override;

private:
    void IndexLabel(RowData* pRow);
    void UnindexLabel(RowData* pRow);

    CSortHeaderCtrl* m_pHeader;
    SortListModel* m_pModel;
    int m_nDlgCtrlId = 0;
    int m_nColumnCount = 0;
    int m_nSortColumn = -1;
    bool m_bSortAscending = true;
    std::vector<QString> m_columnNames;
    std::vector<std::unique_ptr<RowData>> m_rows;
    // Label folded to ASCII lower case -> rows with that label.
    std::unordered_map<std::string, std::vector<RowData*>> m_labelIndex;

    friend class SortListModel;
};

}  // namespace plovik
