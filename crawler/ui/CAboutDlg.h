#pragma once
// The About box: program name and version, copyright notice and product address.

#include <QDialog>

namespace plovik {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* pParent = nullptr);
};

}  // namespace plovik
