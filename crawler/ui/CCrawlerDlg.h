#pragma once
// The program's main window: start address, the two numeric settings with their
// arrows, Crawl / Exit / Help, the results list, a status line and a progress bar.
// It runs each crawl on a worker thread and shows its progress messages. Its crawl
// document keeps the link graph and the crawl file behind the window menu's Save
// crawl…, Open crawl…, Export links… and Broken links…, and the rows' link views.

#include "AppSettings.h"
#include "CrawlControl.h"
#include "CrawlDocument.h"
#include "CrawlerForm.h"
#include "LinkExport.h"
#include "ProgressRows.h"

#include <QDialog>
#include <QIcon>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace plovik {

class CSortListCtrl;
class CUpDownCtrl;

class CCrawlerDlg : public QDialog, public ResultRowSink {
    Q_OBJECT
public:
    explicit CCrawlerDlg(QWidget* pParent = nullptr);
    ~CCrawlerDlg() override;

    // Start-up: fields, settings, columns, stored widths, splash. Call once before
    // the window is first shown.
    void OnInitDialog();
    // OnInitDialog, then the window runs modally.
    int DoModal();

    // bSave: fields -> settings (false and a message when a field holds no unsigned
    // number); otherwise settings -> fields.
    bool DoDataExchange(bool bSave);

    // ------------------------------------------------------------ commands
    void OnCrawl();
    void OnOK();
    void OnSysCommand(int nId);
    void OpenProductPage();
    void OnListRightClick(int nRow, const QPoint& globalPos);
    void OnVisitPage();
    // The links view of a row (the popup's Show links, a double click on the row).
    void OnShowLinks();
    void ShowLinksOfRow(int nRow);
    int FindPageRow(const std::string& strUrl) const;
    bool IsCrawlRunning() const;
    // The window menu's "Standard link rules": used by the next crawl, shown in the
    // title and remembered in the settings.
    void SetStandardLinkRules(bool bOn);
    bool StandardLinkRules() const { return m_form.StandardLinkRules(); }

    // ------------------------------------------------------------ state for tests and tools
    std::uint32_t PagesSetting() const { return m_form.Pages(); }
    std::uint32_t GetIterationsSetting() const { return m_form.Iterations(); }
    QString Url() const { return QString::fromStdString(m_form.Url()); }
    int RightClickRow() const { return m_nRightClickRow; }
    int ProgressLow() const { return m_progressRows.ProgressLow(); }
    int ProgressHigh() const { return m_progressRows.ProgressHigh(); }
    int ProgressPos() const { return m_progressRows.ProgressPos(); }
    CSortListCtrl* Results() const { return m_pResults; }

    // The shell's "open" of an address; tests record instead.
    void SetUrlOpener(std::function<void(const QUrl&)> opener) { m_openUrl = std::move(opener); }
    // A warning message box captioned "Plovik"; tests record instead.
    void SetMessageBox(std::function<void(const QString&)> show) { m_messageBox = std::move(show); }
    // The file dialogs of the window menu's commands; an empty name cancels. Tests
    // answer instead.
    struct FileChoosers {
        std::function<QString(QWidget* pParent)> saveCrawl;
        std::function<QString(QWidget* pParent)> openCrawl;
        // layout: in, the one offered first; out, the one chosen.
        std::function<QString(QWidget* pParent, LinkLayout& layout)> exportLinks;
    };
    void SetFileChoosers(FileChoosers choosers) { m_choosers = std::move(choosers); }
    // Runs a link view (Show links, Broken links…) over the window and returns its
    // result: exec by default. Tests and the screenshot tool look at it and close it.
    void SetViewRunner(std::function<int(QDialog& view)> run) { m_runView = std::move(run); }

    // Engine settings the window does not show (tests shorten the pause between
    // pages); pages and iterations come from the fields.
    void SetEngineSettings(const CrawlSettings& settings);

    // A crawl job wired to this window: its messages come to OnCrawlProgress. OnCrawl
    // runs one on a worker thread; the benchmark drives one directly.
    std::shared_ptr<CrawlJob> MakeCrawlJob(CrawlInputs inputs);

    // The progress handler of the window's thread.
    int OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber,
                        const RankIteration* pRanks = nullptr);

    // ------------------------------------------------------------ ResultRowSink
    int RowCount() const override;
    std::string RowLabel(int nRow) const override;
    int FindRow(const std::string& sLabel) const override;
    int AddRow(const ResultRow& row) override;
    void SetCell(int nRow, int nColumn, const std::string& sText) override;
    void DeleteAllRows() override;
    void SetStatusText(const std::string& sText) override;
    void SetProgressRange(int nLow, int nHigh) override;
    void SetProgressPos(int nPos) override;
    std::uint32_t IterationsSetting() const override { return m_form.Iterations(); }

signals:
    // A crawl's worker has ended and been joined.
    void CrawlFinished();

public slots:
    void done(int nResult) override;

protected:
    void contextMenuEvent(QContextMenuEvent* pEvent) override;

private:
    void CreateControls();
    void ConnectControls();
    void ResetProgress();
    void ShowLinkRules();
    void ShowMessage(const QString& sText);
    void OnPagesChanged(const QString& sText);
    void OnIterationsChanged(const QString& sText);
    void OnDeltaPosPagesSpin(int nDelta);
    void OnDeltaPosIterationsSpin(int nDelta);
    void StopCrawl();
    void OnCrawlEnded();
    void OnSaveCrawl();
    void OnOpenCrawl();
    void OnExportLinks();
    void OnBrokenLinks();
    int RunView(QDialog& view);

    // Controls, in the order of the member table.
    CUpDownCtrl* m_pPagesSpin = nullptr;
    CUpDownCtrl* m_pIterationsSpin = nullptr;
    QLineEdit* m_pPages = nullptr;
    QLineEdit* m_pIterations = nullptr;
    QLabel* m_pStatus = nullptr;
    QProgressBar* m_pProgress = nullptr;
    QLineEdit* m_pUrl = nullptr;
    CSortListCtrl* m_pResults = nullptr;
    QPushButton* m_pCrawl = nullptr;

    AppSettings m_settings;
    CrawlerForm m_form{m_settings};
    QIcon m_hIcon;
    int m_nRightClickRow = -1;

    ProgressRows m_progressRows{*this};

    std::function<void(const QUrl&)> m_openUrl;
    std::function<void(const QString&)> m_messageBox;
    FileChoosers m_choosers;
    std::function<int(QDialog&)> m_runView;

    // Before the control: the worker feeds the document's recorder until it is joined.
    CrawlDocument m_document;
    // Last: destroyed first, it stops and joins the worker while the rest is alive.
    std::unique_ptr<CrawlControl> m_pControl;
};

}  // namespace plovik
