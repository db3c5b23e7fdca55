#pragma once
// The rows of the results list: every cell text, an index of the row labels, and the
// sort by a column. The list view shows it; the list control's methods forward to it.
//
// Labels (column 0) are addresses as the engine has them, bytes that need not be
// UTF-8: the model keeps those bytes for finding and opening a row and shows them as
// UTF-8 where they are valid, as Latin-1 where not.

#include <QAbstractTableModel>
#include <QString>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace plovik {

// The texts of one row, in column order.
struct RowData {
    std::vector<QString> texts;
    int nRow = 0;          // current index of the row; kept right by every sort
    std::string strLabel;  // the bytes of column 0
};

class SortListModel : public QAbstractTableModel {
public:
    explicit SortListModel(QObject* pParent = nullptr);
    ~SortListModel() override;

    // How label bytes are shown.
    static QString TextOfBytes(const std::string& bytes);

    // ------------------------------------------------------------ columns
    // Columns can be added only while there are no rows.
    bool AddColumn(const QString& sName);
    int ColumnCount() const { return static_cast<int>(m_columnNames.size()); }
    QString ColumnName(int nColumn) const;

    // ------------------------------------------------------------ rows
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    // Appends a row of exactly column-count texts whose label bytes are strLabel;
    // returns its index, or -1.
    int AddRow(std::vector<QString> texts, std::string strLabel);
    // False for a cell that does not exist. Column 0 takes its bytes from strLabel.
    bool SetText(int nRow, int nColumn, const QString& sText, const std::string& strLabel);
    QString Text(int nRow, int nColumn) const;
    // The label bytes of a row; empty for a row that does not exist.
    std::string Label(int nRow) const;
    const RowData* Row(int nRow) const;
    void Clear();

    // First row whose label equals strLabel ignoring ASCII letter case, or -1.
    int FindRow(const std::string& strLabel) const;

    void Sort(int nColumn, bool bAscending);
    int SortColumn() const { return m_nSortColumn; }
    bool IsAscending() const { return m_bSortAscending; }

    // ------------------------------------------------------------ QAbstractTableModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int nRole) const override;
    QVariant headerData(int nSection, Qt::Orientation orientation, int nRole) const override;

private:
    bool IsCell(int nRow, int nColumn) const;
    void IndexLabel(RowData* pRow);
    void UnindexLabel(RowData* pRow);

    std::vector<QString> m_columnNames;
    std::vector<std::unique_ptr<RowData>> m_rows;
    // Label folded to ASCII lower case -> rows with that label.
    std::unordered_map<std::string, std::vector<RowData*>> m_labelIndex;
    int m_nSortColumn = -1;
    bool m_bSortAscending = true;
};

}  // namespace plovik
