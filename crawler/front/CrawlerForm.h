#pragma once
// The main window's form without its toolkit: the pages and iterations settings with
// the rules of their fields and arrows, the start address, the link rules, and what
// the Crawl command makes of them. A window shows the texts the form gives it and
// hands it what the user typed; the headless crawl uses it without any fields.

#include <cstdint>
#include <string>

#include "CrawlJob.h"
#include "SettingsStore.h"

namespace plovik {

class CrawlerForm {
public:
    explicit CrawlerForm(SettingsStore& settings) : m_settings(settings) {}

    // ------------------------------------------------------------ start-up
    struct StartUp {
        std::string strUrlField;      // the stored address, or "http://" without one
        bool bSettingsFound = false;  // false: the window tells the user
    };
    // Stores the default address on first start, then reads the address and the link
    // rules back.
    StartUp Load();

    // ------------------------------------------------------------ settings
    std::uint32_t Pages() const { return m_nPages; }
    std::uint32_t Iterations() const { return m_nIterations; }
    // Set by the program, not typed: no field rule applies.
    void SetPages(std::uint32_t n) { m_nPages = n; }
    void SetIterations(std::uint32_t n) { m_nIterations = n; }

    // Typed pages: any text; its C-style value, taken as unsigned.
    void PagesTyped(const std::string& sText);
    // Typed iterations: a value above kMaxIterations as unsigned (so also a negative
    // one) becomes the maximum. True when the field must show sShown instead of what
    // was typed.
    bool IterationsTyped(const std::string& sText, std::string& sShown);
    // An arrow press (Windows' delta: zero or less is up): the field's new text.
    std::string StepPages(int nDelta);
    std::string StepIterations(int nDelta);

    // Data exchange, settings -> fields.
    std::string PagesText() const;
    std::string IterationsText() const;
    // Fields -> settings: both change or neither. The first field (iterations, then
    // pages) that holds no unsigned number, or None.
    enum class Field { None, Iterations, Pages };
    Field ReadFields(const std::string& sIterations, const std::string& sPages);

    // ------------------------------------------------------------ link rules
    bool StandardLinkRules() const { return m_bStandardLinks; }
    LinkRules Rules() const { return m_bStandardLinks ? LinkRules::Standard : LinkRules::Classic; }
    // Used by the next crawl and stored.
    void SetStandardLinkRules(bool bOn);
    // "Plovik", with the link rules' note while the standard ones are on.
    std::string Title() const;

    // ------------------------------------------------------------ the Crawl command
    // Engine settings no field shows (tests shorten the pause between pages).
    void SetEngineSettings(const CrawlSettings& settings) { m_engineSettings = settings; }

    struct CrawlPlan {
        std::string strUrl;      // the normalised address, for the address field
        std::string strRefusal;  // what the user is told about a refused address; empty: accepted
        std::string strStatus;   // the status line of a crawl that starts
        CrawlInputs inputs;      // what the worker gets
    };
    // After the progress reset: normalises the typed address, stores it (also one that
    // is then refused) and checks it.
    CrawlPlan PrepareCrawl(const std::string& strTyped);
    // The start address: the stored one at start-up, then the last Crawl's.
    const std::string& Url() const { return m_strUrl; }

    // ------------------------------------------------------------ rows
    // The page a row's label stands for: http labels lack their scheme, https ones
    // are whole.
    static std::string PageAddressOfLabel(const std::string& strLabel);

private:
    SettingsStore& m_settings;
    std::uint32_t m_nIterations = 3;
    std::uint32_t m_nPages = 10;
    bool m_bStandardLinks = false;
    std::string m_strUrl;
    CrawlSettings m_engineSettings;
};

}  // namespace plovik
