#pragma once
// The sortable report list: columns from a layout string, click-to-sort by any column
// (numbers, dd/mm/yyyy dates, text), and column widths restored from the application
// profile. The rows, their label index and the sort live in SortListModel; the
// list's methods forward to it.

#include "SortListModel.h"

#include <QString>
#include <QTreeView>

#include <string>
#include <vector>

namespace plovik {

class CSortHeaderCtrl;

class CSortListCtrl : public QTreeView {
    Q_OBJECT
public:
    explicit CSortListCtrl(QWidget* pParent = nullptr);
    ~CSortListCtrl() override;

    // The list's dialog id: the name of its profile entry.
    void SetDlgCtrlID(int nId) { m_nDlgCtrlId = nId; }
    int GetDlgCtrlID() const { return m_nDlgCtrlId; }

    // Columns from "name,width;name,width;...". False when a column cannot be made.
    // Widths are for the templates' 8-point font: they grow with the list's font, and
    // never below what the title and the sort arrow need.
    bool SetHeadings(const QString& sLayout);
    int GetColumnCount() const { return m_nColumnCount; }
    QString GetColumnName(int nColumn) const { return m_pModel->ColumnName(nColumn); }

    // Appends a row with exactly column-count texts; returns its index, -1 when the
    // number of texts is wrong.
    int AddItem(const std::vector<QString>& texts);
    template <class... T>
    int AddItem(const T&... texts)
    {
        return AddItem(std::vector<QString>{QString(texts)...});
    }
    // The same for cells that are bytes (the engine's addresses): kept as they are,
    // shown as UTF-8 or, where that is not valid, as Latin-1.
    int AddItemBytes(const std::vector<std::string>& cells);

    // Replaces one cell text; false (nothing changed) for a row or column that does not exist.
    bool SetItemText(int nRow, int nColumn, const QString& sText);
    bool SetItemBytes(int nRow, int nColumn, const std::string& sBytes);
    QString GetItemText(int nRow, int nColumn) const { return m_pModel->Text(nRow, nColumn); }
    // The bytes of a row's label (column 0).
    std::string GetItemLabel(int nRow) const { return m_pModel->Label(nRow); }
    int GetItemCount() const { return m_pModel->RowCount(); }
    void DeleteAllItems() { m_pModel->Clear(); }

    // First row whose label equals sLabel (bytes) ignoring ASCII letter case, or -1.
    int FindItem(const std::string& sLabel) const { return m_pModel->FindRow(sLabel); }

    void SortColumn(int nColumn, bool bAscending);
    int GetSortColumn() const { return m_pModel->SortColumn(); }
    bool IsAscending() const { return m_pModel->IsAscending(); }

    // Restores widths from the profile entry "ListCtrls"/<dialog id> as saved; false
    // when the entry is missing, empty or does not fit the columns.
    bool LoadColumnWidths();

    CSortHeaderCtrl* GetHeaderCtrl() const { return m_pHeader; }

    // Comparison of two rows by the list's sort column; the kind is decided by a's text alone.
    static int CompareItems(const RowData& a, const RowData& b, const CSortListCtrl& list);
    static bool IsNumber(const QString& s);
    static bool IsDate(const QString& s);
    static int CompareNumbers(const QString& x, const QString& y);
    static int CompareDates(const QString& x, const QString& y);

signals:
    // The popup's request: the row (-1 when none) and where the menu goes, from a
    // right click or from the keyboard (Menu key, Shift+F10) for the current row.
    void RightClicked(int nRow, const QPoint& globalPos);

public slots:
    void OnColumnClick(int nColumn);

protected:
    void contextMenuEvent(QContextMenuEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    void PopupForCurrentRow();
    int ColumnWidthFor(int nTemplateWidth, const QString& sTitle) const;

    CSortHeaderCtrl* m_pHeader;
    SortListModel* m_pModel;
    int m_nDlgCtrlId = 0;
    int m_nColumnCount = 0;
};

}  // namespace plovik
