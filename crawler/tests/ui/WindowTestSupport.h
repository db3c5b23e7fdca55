#pragma once
// What the Qt window tests share: settings kept in a folder of the test's own, and a
// table's rows as the user sees them.

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QSettings>
#include <QStringList>

namespace plovik_test {

// The user-scope settings of every QSettings made from now on live in sPath.
inline void UseSettingsFolder(const QString& sPath)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, sPath);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, sPath);
}

// One "cell|cell|cell" text per row, in the order shown.
inline QStringList ShownRows(const QAbstractItemView* pView)
{
    if (!pView)
        return {"<no view>"};
    QStringList rows;
    const QAbstractItemModel* pModel = pView->model();
    for (int r = 0; r < pModel->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < pModel->columnCount(); ++c)
            cells << pModel->index(r, c).data().toString();
        rows << cells.join('|');
    }
    return rows;
}

}  // namespace plovik_test
