#include "CCrawlerDlg.h"

#include "AppSettings.h"
#include "BrokenLinksDialog.h"
#include "CAboutDlg.h"
#include "CSortListCtrl.h"
#include "CSplashWnd.h"
#include "CUpDownCtrl.h"
#include "DialogUnits.h"
#include "FileChoosers.h"
#include "LinksDialog.h"
#include "ProgramTexts.h"
#include "ResourceIds.h"
#include "ResultColumns.h"
#include "RowsReceiver.h"
#include "TextFormat.h"

#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace plovik {

namespace {

QString FromStd(const std::string& s)
{
    return QString::fromStdString(s);
}

// An address as the engine has it: bytes outside printable ASCII go out
// percent-encoded, so a Latin-1 byte stays that byte.
QUrl UrlOfBytes(const std::string& bytes)
{
    return QUrl::fromEncoded(QByteArray::fromStdString(PercentEncodeBytes(bytes, true)));
}

// Where a crawl's file is recorded. Qt gives no temporary folder when TMPDIR names
// one that does not exist; that name is kept, so that the crawl runs unsaveable with
// the reason rather than leaving its file in the working folder.
std::string ScratchFolder()
{
    const QString sTemp = QDir::tempPath();
    return LocalPath(sTemp.isEmpty() ? qEnvironmentVariable("TMPDIR") : sTemp);
}

// A warning centred on the window, or on the screen while the window is not shown.
void ShowCenteredWarning(QWidget* pOwner, const QString& sText)
{
    const bool bOnWindow = pOwner->isVisible();
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kProgramName), sText, QMessageBox::Ok,
                    bOnWindow ? pOwner : nullptr);
    // The box has its final size only once shown.
    QTimer::singleShot(0, &box, [&box, pOwner, bOnWindow] {
        const QScreen* pScreen = pOwner->screen();
        const QRect area = bOnWindow ? pOwner->frameGeometry() : pScreen->availableGeometry();
        box.move(area.center() - QPoint(box.frameGeometry().width() / 2, box.frameGeometry().height() / 2));
    });
    box.exec();
}

}  // namespace

CCrawlerDlg::CCrawlerDlg(QWidget* pParent) : QDialog(pParent), m_document(ScratchFolder())
{
    setObjectName(QStringLiteral("IDD_MAIN"));
    m_hIcon.addFile(QStringLiteral(":/plovik/plovik-32.png"), QSize(32, 32));
    m_hIcon.addFile(QStringLiteral(":/plovik/plovik-16.png"), QSize(16, 16));
    m_openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    m_messageBox = [this](const QString& sText) { ShowCenteredWarning(this, sText); };
    m_choosers = {&AskSaveCrawlFile, &AskOpenCrawlFile, &AskExportLinksFile};
    m_runView = [](QDialog& view) { return view.exec(); };
    auto poster = [this](std::function<void()> fn) {
        return QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
    };
    auto handler = [this](int nCode, const PageRecord* pRecord, std::int32_t nNumber, const RankIteration* pRanks) {
        m_document.OnProgress(nCode, pRecord, nNumber, pRanks);
        OnCrawlProgress(nCode, pRecord, nNumber, pRanks);
    };
    auto onPage = [this](const ProcessedPage& page) { m_document.OnPageProcessed(page); };
    m_pControl = std::make_unique<CrawlControl>(
        poster, handler, [this] { OnCrawlEnded(); }, onPage);
    CreateControls();
    ConnectControls();
}

CCrawlerDlg::~CCrawlerDlg()
{
    // The worker is told to stop and joined; it sends nothing more.
    m_pControl.reset();
}

void CCrawlerDlg::CreateControls()
{
    setWindowTitle(QString::fromLatin1(kProgramName));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(DialogFont());
    const DialogUnits du(font());
    setFixedSize(du.Size(320, 270));

    auto name = [](QWidget* pWidget, const char* pszId) { pWidget->setObjectName(QString::fromLatin1(pszId)); };

    m_pCrawl = new QPushButton(QStringLiteral("&Crawl"), this);
    name(m_pCrawl, "IDC_CRAWL");
    m_pCrawl->setGeometry(du.Rect(147, 7, 50, 14));
    m_pCrawl->setDefault(true);

    m_pUrl = new QLineEdit(this);
    name(m_pUrl, "IDC_URL");
    m_pUrl->setGeometry(du.Rect(7, 7, 134, 14));

    m_pResults = new CSortListCtrl(this);
    name(m_pResults, "IDC_RESULTS");
    m_pResults->SetDlgCtrlID(IDC_RESULTS);
    m_pResults->setGeometry(du.Rect(7, 42, 306, 170));

    auto* pHomepage = new QPushButton(QString::fromUtf8(kCopyrightText), this);
    name(pHomepage, "IDC_HOMEPAGE");
    pHomepage->setGeometry(du.Rect(7, 249, 306, 14));

    auto* pExit = new QPushButton(QStringLiteral("&Exit"), this);
    name(pExit, "IDOK");
    pExit->setGeometry(du.Rect(260, 7, 50, 14));

    auto* pHelp = new QPushButton(QStringLiteral("&Help"), this);
    name(pHelp, "IDC_HELP_PAGE");
    pHelp->setGeometry(du.Rect(260, 23, 50, 14));

    m_pProgress = new QProgressBar(this);
    name(m_pProgress, "IDC_PROGRESS");
    m_pProgress->setGeometry(du.Rect(7, 235, 306, 9));
    m_pProgress->setTextVisible(false);

    m_pStatus = new QLabel(this);
    name(m_pStatus, "IDC_STATUS");
    m_pStatus->setGeometry(du.Rect(7, 223, 306, 8));
    m_pStatus->setTextFormat(Qt::PlainText);
    m_pStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    auto* pPagesLabel = new QLabel(QStringLiteral("Pages to crawl:"), this);
    name(pPagesLabel, "IDC_STATIC_PAGES");
    pPagesLabel->setGeometry(du.Rect(16, 26, 50, 8));

    m_pPages = new QLineEdit(this);
    name(m_pPages, "IDC_PAGES");
    m_pPages->setGeometry(du.Rect(69, 23, 26, 14));

    m_pPagesSpin = new CUpDownCtrl(this);
    name(m_pPagesSpin, "IDC_PAGES_SPIN");
    m_pPagesSpin->setGeometry(du.Rect(95, 23, 10, 14));

    auto* pIterationsLabel = new QLabel(QStringLiteral("PR calculation iterations:"), this);
    name(pIterationsLabel, "IDC_STATIC_ITERATIONS");
    pIterationsLabel->setGeometry(du.Rect(122, 26, 79, 8));

    m_pIterations = new QLineEdit(this);
    name(m_pIterations, "IDC_ITERATIONS");
    m_pIterations->setGeometry(du.Rect(205, 23, 25, 14));

    m_pIterationsSpin = new CUpDownCtrl(this);
    name(m_pIterationsSpin, "IDC_ITERATIONS_SPIN");
    m_pIterationsSpin->setGeometry(du.Rect(229, 23, 10, 14));

    // Tab order of the template.
    QWidget* const order[] = {m_pCrawl, m_pUrl,   m_pResults,   pHomepage,     pExit,
                              pHelp,    m_pPages, m_pPagesSpin, m_pIterations, m_pIterationsSpin};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    for (QWidget* pWidget : {static_cast<QWidget*>(m_pProgress), static_cast<QWidget*>(m_pStatus)})
        pWidget->setFocusPolicy(Qt::NoFocus);

    connect(pHomepage, &QPushButton::clicked, this, &CCrawlerDlg::OpenProductPage);
    connect(pHelp, &QPushButton::clicked, this, &CCrawlerDlg::OpenProductPage);
    connect(pExit, &QPushButton::clicked, this, &CCrawlerDlg::OnOK);
}

void CCrawlerDlg::ConnectControls()
{
    connect(m_pCrawl, &QPushButton::clicked, this, &CCrawlerDlg::OnCrawl);
    connect(m_pPages, &QLineEdit::textChanged, this, &CCrawlerDlg::OnPagesChanged);
    connect(m_pIterations, &QLineEdit::textChanged, this, &CCrawlerDlg::OnIterationsChanged);
    connect(m_pPagesSpin, &CUpDownCtrl::DeltaPos, this, &CCrawlerDlg::OnDeltaPosPagesSpin);
    connect(m_pIterationsSpin, &CUpDownCtrl::DeltaPos, this, &CCrawlerDlg::OnDeltaPosIterationsSpin);
    connect(m_pResults, &CSortListCtrl::RightClicked, this, &CCrawlerDlg::OnListRightClick);
    // Not activated: Return on the list also presses Crawl, the default button.
    connect(m_pResults, &CSortListCtrl::doubleClicked, this,
            [this](const QModelIndex& index) { ShowLinksOfRow(index.row()); });
}

void CCrawlerDlg::OnInitDialog()
{
    DoDataExchange(false);
    setWindowIcon(m_hIcon);
    const CrawlerForm::StartUp startUp = m_form.Load();
    m_progressRows.ResetProgress(m_form.Pages());
    m_pUrl->setText(FromStd(startUp.strUrlField));
    if (!startUp.bSettingsFound)
        ShowMessage(QString::fromLatin1(kSettingsMissingText));
    ShowLinkRules();
    m_pResults->SetHeadings(FromStd(ResultsLayout()));
    m_pResults->LoadColumnWidths();
    CSplashWnd::EnableSplash(true);
    CSplashWnd::ShowSplash(this);
    m_pCrawl->setFocus();
}

int CCrawlerDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

bool CCrawlerDlg::DoDataExchange(bool bSave)
{
    if (!bSave) {
        m_pIterations->setText(FromStd(m_form.IterationsText()));
        m_pPages->setText(FromStd(m_form.PagesText()));
        return true;
    }
    const auto failed = m_form.ReadFields(m_pIterations->text().toStdString(), m_pPages->text().toStdString());
    if (failed == CrawlerForm::Field::None)
        return true;
    QLineEdit* pField = failed == CrawlerForm::Field::Iterations ? m_pIterations : m_pPages;
    ShowMessage(QString::fromLatin1(kUnsignedNeededText));
    pField->setFocus();
    pField->selectAll();
    return false;
}

void CCrawlerDlg::OnOK()
{
    if (DoDataExchange(true))
        accept();
}

void CCrawlerDlg::done(int nResult)
{
    StopCrawl();
    CSplashWnd::CloseSplash();
    QDialog::done(nResult);
}

void CCrawlerDlg::ShowMessage(const QString& sText)
{
    if (m_messageBox)
        m_messageBox(sText);
}

void CCrawlerDlg::SetEngineSettings(const CrawlSettings& settings)
{
    m_form.SetEngineSettings(settings);
}

// ------------------------------------------------------------------ fields and arrows

void CCrawlerDlg::OnPagesChanged(const QString& sText)
{
    m_form.PagesTyped(sText.toStdString());
}

void CCrawlerDlg::OnIterationsChanged(const QString& sText)
{
    std::string sShown;
    if (m_form.IterationsTyped(sText.toStdString(), sShown))
        m_pIterations->setText(FromStd(sShown));  // comes back through this handler
}

void CCrawlerDlg::OnDeltaPosPagesSpin(int nDelta)
{
    m_pPages->setText(FromStd(m_form.StepPages(nDelta)));
}

void CCrawlerDlg::OnDeltaPosIterationsSpin(int nDelta)
{
    m_pIterations->setText(FromStd(m_form.StepIterations(nDelta)));
}

// ------------------------------------------------------------------ crawl control

bool CCrawlerDlg::IsCrawlRunning() const
{
    return m_pControl->IsRunning();
}

void CCrawlerDlg::StopCrawl()
{
    m_pControl->Stop();
}

void CCrawlerDlg::ResetProgress()
{
    m_progressRows.ResetProgress(m_form.Pages());
}

void CCrawlerDlg::OnCrawl()
{
    // Only one crawl at a time; refused before anything is reset or stored, so the
    // running crawl's rows stay.
    if (IsCrawlRunning()) {
        ShowMessage(QString::fromLatin1(kCrawlRunningText));
        return;
    }

    ResetProgress();
    CrawlerForm::CrawlPlan plan = m_form.PrepareCrawl(m_pUrl->text().toStdString());
    m_pUrl->setText(FromStd(plan.strUrl));
    if (!plan.strRefusal.empty()) {
        ShowMessage(FromStd(plan.strRefusal));
        return;
    }
    SetStatusText(plan.strStatus);
    // Without a file the crawl still runs; Save crawl… tells why it cannot save it.
    plan.inputs.pWorkerReceiver = m_document.BeginCrawl(plan.inputs);
    if (m_pControl->Start(std::move(plan.inputs)) == CrawlControl::StartResult::NoThread) {
        m_document.EndCrawl();
        SetStatusText(std::string());
    }
}

void CCrawlerDlg::OnCrawlEnded()
{
    // The worker has been joined: the recorder is the window's again.
    m_document.EndCrawl();
    emit CrawlFinished();
}

std::shared_ptr<CrawlJob> CCrawlerDlg::MakeCrawlJob(CrawlInputs inputs)
{
    return m_pControl->MakeJob(std::move(inputs));
}

int CCrawlerDlg::OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber,
                                 const RankIteration* pRanks)
{
    return m_progressRows.OnCrawlProgress(nCode, pRecord, nNumber, pRanks);
}

int CCrawlerDlg::FindPageRow(const std::string& strUrl) const
{
    return m_progressRows.FindPageRow(strUrl);
}

// ------------------------------------------------------------------ rows, status, progress

int CCrawlerDlg::RowCount() const
{
    return m_pResults->GetItemCount();
}

std::string CCrawlerDlg::RowLabel(int nRow) const
{
    return m_pResults->GetItemLabel(nRow);
}

int CCrawlerDlg::FindRow(const std::string& sLabel) const
{
    return m_pResults->FindItem(sLabel);
}

// Cells keep the engine's bytes: an address need not be UTF-8.
int CCrawlerDlg::AddRow(const ResultRow& row)
{
    return m_pResults->AddItemBytes(std::vector<std::string>(row.begin(), row.end()));
}

void CCrawlerDlg::SetCell(int nRow, int nColumn, const std::string& sText)
{
    m_pResults->SetItemBytes(nRow, nColumn, sText);
}

void CCrawlerDlg::DeleteAllRows()
{
    m_pResults->DeleteAllItems();
}

void CCrawlerDlg::SetStatusText(const std::string& sText)
{
    m_pStatus->setText(FromStd(sText));
}

void CCrawlerDlg::SetProgressRange(int nLow, int nHigh)
{
    m_pProgress->setRange(0, std::max(nHigh - nLow, 1));
}

void CCrawlerDlg::SetProgressPos(int nPos)
{
    m_pProgress->setValue(nPos - m_progressRows.ProgressLow());
}

// ------------------------------------------------------------------ menus and pages

void CCrawlerDlg::contextMenuEvent(QContextMenuEvent* pEvent)
{
    // The window has no system menu of its own here; its About entry lives in the
    // window's context menu instead.
    auto* pMenu = new QMenu(this);
    pMenu->setObjectName(QStringLiteral("IDR_SYSMENU"));
    pMenu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* pRules = pMenu->addAction(QString::fromLatin1(kStandardLinksItemText));
    pRules->setObjectName(QStringLiteral("ID_SYS_STANDARD_LINKS"));
    pRules->setCheckable(true);
    pRules->setChecked(m_form.StandardLinkRules());
    connect(pRules, &QAction::toggled, this, &CCrawlerDlg::SetStandardLinkRules);
    pMenu->addSeparator();
    auto command = [this, pMenu](const char* pszText, const char* pszId, int nId) {
        QAction* pAction = pMenu->addAction(QString::fromUtf8(pszText));
        pAction->setObjectName(QString::fromLatin1(pszId));
        connect(pAction, &QAction::triggered, this, [this, nId] { OnSysCommand(nId); });
    };
    command(kSaveCrawlItemText, "ID_SYS_SAVE_CRAWL", ID_SYS_SAVE_CRAWL);
    command(kOpenCrawlItemText, "ID_SYS_OPEN_CRAWL", ID_SYS_OPEN_CRAWL);
    command(kExportLinksItemText, "ID_SYS_EXPORT_LINKS", ID_SYS_EXPORT_LINKS);
    command(kBrokenLinksItemText, "ID_SYS_BROKEN_LINKS", ID_SYS_BROKEN_LINKS);
    pMenu->addSeparator();
    command(kAboutItemText, "ID_SYS_ABOUT", ID_SYS_ABOUT);
    pMenu->popup(pEvent->globalPos());
    pEvent->accept();
}

void CCrawlerDlg::SetStandardLinkRules(bool bOn)
{
    m_form.SetStandardLinkRules(bOn);
    ShowLinkRules();
}

void CCrawlerDlg::ShowLinkRules()
{
    setWindowTitle(FromStd(m_form.Title()));
}

void CCrawlerDlg::OnSysCommand(int nId)
{
    switch (nId & 0xFFF0) {
    case ID_SYS_ABOUT: {
        CAboutDlg about(this);
        about.exec();
        break;
    }
    case ID_SYS_SAVE_CRAWL:
        OnSaveCrawl();
        break;
    case ID_SYS_OPEN_CRAWL:
        OnOpenCrawl();
        break;
    case ID_SYS_EXPORT_LINKS:
        OnExportLinks();
        break;
    case ID_SYS_BROKEN_LINKS:
        OnBrokenLinks();
        break;
    default:
        break;
    }
}

// ------------------------------------------------------------------ crawl files and link views

void CCrawlerDlg::OnSaveCrawl()
{
    // The file is the worker's until the crawl ends.
    if (IsCrawlRunning()) {
        ShowMessage(QString::fromLatin1(kWaitForCrawlText));
        return;
    }
    if (const std::string strRefusal = m_document.SaveRefusal(); !strRefusal.empty()) {
        ShowMessage(FromStd(strRefusal));
        return;
    }
    const QString sPath = m_choosers.saveCrawl ? m_choosers.saveCrawl(this) : QString();
    if (sPath.isEmpty())
        return;
    std::string strError;
    if (!m_document.SaveAs(LocalPath(sPath), strError))
        ShowMessage(FromStd(strError));
}

void CCrawlerDlg::OnOpenCrawl()
{
    // The replay fills the list and the graph a running crawl is filling.
    if (IsCrawlRunning()) {
        ShowMessage(QString::fromLatin1(kWaitForCrawlText));
        return;
    }
    const QString sPath = m_choosers.openCrawl ? m_choosers.openCrawl(this) : QString();
    if (sPath.isEmpty())
        return;
    RowsReceiver rows(m_progressRows);
    OpenedCrawl opened;
    std::string strError;
    // Only once the file has been read whole: a refused file leaves the window as it was.
    auto beforeReplay = [this](const OpenedCrawl& crawl) {
        // The fields show what the crawl ran with; they are stored when Crawl is pressed.
        m_pUrl->setText(FromStd(crawl.setup.strStartUrl));
        m_form.SetPages(static_cast<std::uint32_t>(std::max(crawl.setup.nMaxPages, 0)));
        m_form.SetIterations(static_cast<std::uint32_t>(std::max(crawl.setup.nIterations, 0)));
        DoDataExchange(false);
        ResetProgress();
    };
    if (!m_document.Open(LocalPath(sPath), rows, opened, strError, beforeReplay)) {
        ShowMessage(FromStd(strError));
        return;
    }
    m_nRightClickRow = -1;
}

void CCrawlerDlg::OnExportLinks()
{
    if (IsCrawlRunning()) {
        ShowMessage(QString::fromLatin1(kWaitForCrawlText));
        return;
    }
    if (m_document.Graph().Empty()) {
        ShowMessage(QString::fromLatin1(kNothingToSaveText));
        return;
    }
    LinkLayout layout = LinkLayout::Edges;
    const QString sPath = m_choosers.exportLinks ? m_choosers.exportLinks(this, layout) : QString();
    if (sPath.isEmpty())
        return;
    std::string strError;
    if (!m_document.ExportLinks(LocalPath(sPath), layout, strError))
        ShowMessage(FromStd(strError));
}

int CCrawlerDlg::RunView(QDialog& view)
{
    return m_runView ? m_runView(view) : view.exec();
}

void CCrawlerDlg::OnBrokenLinks()
{
    // The view copies its rows: a crawl that goes on meanwhile does not change them.
    BrokenLinksDialog view(m_document.Graph(), this);
    RunView(view);
}

void CCrawlerDlg::OnShowLinks()
{
    ShowLinksOfRow(m_nRightClickRow);
}

void CCrawlerDlg::ShowLinksOfRow(int nRow)
{
    if (nRow < 0 || nRow >= m_pResults->GetItemCount())
        return;
    LinksDialog view(m_document.Graph(), m_pResults->GetItemLabel(nRow), this);
    RunView(view);
}

void CCrawlerDlg::OpenProductPage()
{
    if (m_openUrl)
        m_openUrl(QUrl(QString::fromLatin1(kProductAddress)));
}

void CCrawlerDlg::OnListRightClick(int nRow, const QPoint& globalPos)
{
    m_nRightClickRow = nRow;
    if (nRow == -1)
        return;
    auto* pMenu = new QMenu(this);
    pMenu->setObjectName(QStringLiteral("IDR_POPUP"));
    pMenu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* pVisit = pMenu->addAction(QString::fromLatin1(kVisitPageText));
    pVisit->setObjectName(QStringLiteral("ID_VISIT_PAGE"));
    connect(pVisit, &QAction::triggered, this, &CCrawlerDlg::OnVisitPage);
    QAction* pLinks = pMenu->addAction(QString::fromLatin1(kShowLinksText));
    pLinks->setObjectName(QStringLiteral("ID_SHOW_LINKS"));
    connect(pLinks, &QAction::triggered, this, &CCrawlerDlg::OnShowLinks);
    pMenu->popup(globalPos);
}

void CCrawlerDlg::OnVisitPage()
{
    if (m_nRightClickRow < 0 || m_nRightClickRow >= m_pResults->GetItemCount())
        return;
    if (m_openUrl) {
        m_openUrl(UrlOfBytes(CrawlerForm::PageAddressOfLabel(m_pResults->GetItemLabel(m_nRightClickRow))));
    }
}

}  // namespace plovik
