#include "CAboutDlg.h"

#include "DialogUnits.h"
#include "ProgramTexts.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace plovik {

CAboutDlg::CAboutDlg(QWidget* pParent) : QDialog(pParent)
{
    setObjectName(QStringLiteral("IDD_ABOUT"));
    setWindowTitle(QStringLiteral("About Skarrow"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(DialogFont());
    const DialogUnits du(font());
    setFixedSize(du.Size(235, 55));

    auto* pIcon = new QLabel(this);
    pIcon->setObjectName(QStringLiteral("IDI_APP"));
    pIcon->setGeometry(du.Rect(11, 17, 20, 20));
    pIcon->setPixmap(QIcon(QStringLiteral(":/plovik/plovik-32.png")).pixmap(32, 32));
    pIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* pVersion = new QLabel(QString::fromUtf8(kVersionText), this);
    pVersion->setObjectName(QStringLiteral("IDC_VERSION"));
    pVersion->setTextFormat(Qt::PlainText);
    pVersion->setGeometry(du.Rect(40, 10, 119, 8));

    auto* pCopyright = new QLabel(QString::fromUtf8(kCopyrightText), this);
    pCopyright->setObjectName(QStringLiteral("IDC_COPYRIGHT"));
    pCopyright->setTextFormat(Qt::PlainText);
    pCopyright->setGeometry(du.Rect(40, 25, 119, 8));

    auto* pOk = new QPushButton(QStringLiteral("OK"), this);
    pOk->setObjectName(QStringLiteral("IDOK"));
    pOk->setGeometry(du.Rect(178, 7, 50, 14));
    pOk->setDefault(true);
    connect(pOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* pAddress = new QLabel(QString::fromUtf8(kProductAddress), this);
    pAddress->setObjectName(QStringLiteral("IDC_ADDRESS"));
    pAddress->setTextFormat(Qt::PlainText);
    pAddress->setGeometry(du.Rect(40, 39, 142, 8));

    setTabOrder(pOk, pOk);
    pOk->setFocus();
}

}  // namespace plovik
