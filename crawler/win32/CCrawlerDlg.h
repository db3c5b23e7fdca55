#pragma once
// The program's main window on Windows: the dialog IDD_MAIN of the resource script,
// run modally. The crawl control, the row logic, the field rules and the crawl
// document (link graph and crawl file) are the shared ones below both windows; this
// class only draws and dispatches.

#include <windows.h>

#include "CSortListCtrl.h"
#include "CrawlControl.h"
#include "CrawlDocument.h"
#include "CrawlerForm.h"
#include "ProgressRows.h"
#include "RegistrySettings.h"
#include "ResourceIds.h"

#include <cstdint>
#include <memory>
#include <string>

namespace plovik {

// The worker's reports: each posted call of the crawl job arrives as this message,
// the application message 0x8001; its second parameter owns the call.
constexpr UINT WM_CRAWL_PROGRESS = WM_APP + 1;

class CCrawlerDlg : public ResultRowSink {
public:
    explicit CCrawlerDlg(RegistryPlaces places = RegistryPlaces());
    ~CCrawlerDlg() override;
    CCrawlerDlg(const CCrawlerDlg&) = delete;
    CCrawlerDlg& operator=(const CCrawlerDlg&) = delete;

    // Runs the dialog until it closes; the dialog's result.
    INT_PTR DoModal(HINSTANCE hInstance);

    // After the dialog has ended: stops a running crawl and waits for its worker
    // until the given time has passed since the window was closed; false when it is
    // still busy (a fetch that WinINet does not interrupt), and the process should end
    // without waiting for it.
    bool EndCrawl(DWORD nWaitMs);

    // Engine settings the window does not show (tests shorten the pause between pages).
    void SetEngineSettings(const CrawlSettings& settings) { m_form.SetEngineSettings(settings); }

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

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam);

    void OnInitDialog();
    void SetIcons();
    bool OnPaint();
    void CreateColumns();
    void LoadColumnWidths();
    void SaveColumnWidths();
    void OnCommand(int nId, int nNotify);
    bool OnNotify(const NMHDR& header, LRESULT& result);
    void OnCrawl();
    void OnOK();
    void OnClose();
    void EndWindow(INT_PTR nResult);
    void OnFieldChanged(int nId);
    void OnDeltaPos(int nId, int nDelta);
    void OnColumnClick(int nColumn);
    void OnListRightClick(int nRow, POINT screenPoint);
    void OnListContextKey();
    void OnVisitPage();
    void OnStandardLinks();
    void AppendCrawlFileItems(HMENU hSysMenu);
    bool CrawlRunning();
    void OnSaveCrawl();
    void OnOpenCrawl();
    void OnExportLinks();
    void OnBrokenLinks();
    void OnShowLinks(int nRow);
    void UpdateTitle();
    void ShowMessage(const std::string& strText);
    void SetField(int nId, const std::string& strText);
    std::string FieldText(int nId) const;
    HWND Item(int nId) const { return GetDlgItem(m_hWnd, nId); }
    HWND List() const { return Item(IDC_RESULTS); }

    HWND m_hWnd = nullptr;
    RegistrySettings m_settings;
    CrawlerForm m_form{m_settings};
    int m_nRightClickRow = -1;
    CSortListCtrl m_list;
    HICON m_hIcon = nullptr;
    HICON m_hSmallIcon = nullptr;
    bool m_bSettingField = false;
    bool m_bClosed = false;
    DWORD m_nClosedTick = 0;  // when the window was told to close
    ProgressRows m_progressRows{*this};
    // Before the control: the worker feeds the document's recorder, so the document
    // must outlive every worker (the control joins its worker when it goes).
    CrawlDocument m_document;
    bool m_bRanksShown = false;  // the running crawl's CP_CALC_DONE has been shown
    DWORD m_nExportFilter = 1;   // Export links…' last choice: 1 edge list, 2 GraphML
    std::unique_ptr<CrawlControl> m_pControl;
};

}  // namespace plovik
