#include "CCrawlerApp.h"

#include "CCrawlerDlg.h"
#include "DialogUnits.h"
#include "ProgramTexts.h"

#include <QIcon>
#include <QStyleFactory>

namespace plovik {

CCrawlerApp::CCrawlerApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QString::fromLatin1(kProgramName));
    setDesktopFileName(QStringLiteral("plovik"));
    ApplyLook();
}

void CCrawlerApp::ApplyLook()
{
    if (QStyle* pStyle = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(pStyle);
    QApplication::setFont(DialogFont());
    QIcon icon;
    icon.addFile(QStringLiteral(":/plovik/plovik-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/plovik/plovik-16.png"), QSize(16, 16));
    QApplication::setWindowIcon(icon);
}

bool CCrawlerApp::InitInstance()
{
    CCrawlerDlg dlg;
    dlg.DoModal();
    return false;
}

}  // namespace plovik
