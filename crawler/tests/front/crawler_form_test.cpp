// The main window's form: the rules of its fields and arrows, the data exchange, the
// start-up, and what the Crawl command makes of a typed address. Both windows and the
// headless crawl run these rules; the window tests check only what a window shows.

#include <gtest/gtest.h>

#include "CrawlerForm.h"
#include "MemorySettings.h"
#include "ProgramTexts.h"
#include "ResultColumns.h"

using namespace plovik;

namespace {

TEST(CrawlerForm, IterationsFieldIsCappedAtTheMaximum)
{
    struct Case {
        const char* pTyped;
        const char* pShown;  // null: the field keeps what was typed
        std::uint32_t nSetting;
    };
    const Case cases[] = {
        {"55", "40", 40},
        {"-3", "40", 40},
        {"0", nullptr, 0},
        {"40", nullptr, 40},
        {" 7x", nullptr, 7},
        {"abc", nullptr, 0},
        {"99999999999999", "40", 40},
    };
    for (const Case& c : cases) {
        MemorySettings settings;
        CrawlerForm form(settings);
        std::string sShown = "untouched";
        const bool bRewrite = form.IterationsTyped(c.pTyped, sShown);
        EXPECT_EQ(bRewrite, c.pShown != nullptr) << c.pTyped;
        if (c.pShown) {
            EXPECT_EQ(sShown, c.pShown) << c.pTyped;
            // The rewritten text comes back through the rule and stays.
            EXPECT_FALSE(form.IterationsTyped(sShown, sShown)) << c.pTyped;
        }
        EXPECT_EQ(form.Iterations(), c.nSetting) << c.pTyped;
    }
}

TEST(CrawlerForm, PagesFieldTakesAnyText)
{
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"abc", 0u}, {"70000", 70000u}, {"-3", static_cast<std::uint32_t>(-3)}, {"99999999999", 2147483647u}};
    for (const auto& c : cases) {
        MemorySettings settings;
        CrawlerForm form(settings);
        form.PagesTyped(c.first);
        EXPECT_EQ(form.Pages(), c.second) << c.first;
    }
}

TEST(CrawlerForm, ArrowsStepAndClamp)
{
    struct Case {
        const char* pName;
        bool bPages;
        const char* pStart;  // typed into the field first
        int nDelta;          // zero or less is up
        const char* pResult;
    };
    const Case cases[] = {
        {"iterations down at 1", false, "1", 1, "1"},
        {"iterations up at 40", false, "40", -1, "40"},
        {"iterations up", false, "3", -1, "4"},
        {"iterations 0 down", false, "0", 1, "1"},
        {"pages down at 1", true, "1", 1, "1"},
        {"pages 0 down", true, "0", 1, "1"},
        {"pages up no limit", true, "99999", -1, "100000"},
        {"pages up saturates", true, "2147483647", -1, "2147483647"},
        {"pages negative down", true, "-3", 1, "1"},
        {"pages text down", true, "abc", 1, "1"},
        {"zero delta is up", true, "5", 0, "6"},
    };
    for (const Case& c : cases) {
        MemorySettings settings;
        CrawlerForm form(settings);
        std::string sShown;
        if (c.bPages)
            form.PagesTyped(c.pStart);
        else
            form.IterationsTyped(c.pStart, sShown);
        const std::string sResult = c.bPages ? form.StepPages(c.nDelta) : form.StepIterations(c.nDelta);
        EXPECT_EQ(sResult, c.pResult) << c.pName;
        EXPECT_EQ(std::to_string(c.bPages ? form.Pages() : form.Iterations()), c.pResult) << c.pName;
    }
}

TEST(CrawlerForm, DataExchangeTakesBothFieldsOrNeither)
{
    struct Case {
        const char* pIterations;
        const char* pPages;
        CrawlerForm::Field failed;
        std::uint32_t nIterations, nPages;  // afterwards
    };
    const Case cases[] = {
        {"5", " 12 ", CrawlerForm::Field::None, 5, 12},
        {"0", "4294967295", CrawlerForm::Field::None, 0, 4294967295u},
        {"5", "abc", CrawlerForm::Field::Pages, 3, 10},
        {"", "12", CrawlerForm::Field::Iterations, 3, 10},
        {"-1", "x", CrawlerForm::Field::Iterations, 3, 10},
        {"5", "4294967296", CrawlerForm::Field::Pages, 3, 10},
        {"5", "1 2", CrawlerForm::Field::Pages, 3, 10},
    };
    for (const Case& c : cases) {
        MemorySettings settings;
        CrawlerForm form(settings);
        EXPECT_EQ(form.ReadFields(c.pIterations, c.pPages), c.failed) << c.pIterations << " / " << c.pPages;
        EXPECT_EQ(form.Iterations(), c.nIterations) << c.pIterations << " / " << c.pPages;
        EXPECT_EQ(form.Pages(), c.nPages) << c.pIterations << " / " << c.pPages;
    }
    MemorySettings settings;
    CrawlerForm form(settings);
    EXPECT_EQ(form.IterationsText(), "3");
    EXPECT_EQ(form.PagesText(), "10");
    form.SetPages(4294967295u);
    EXPECT_EQ(form.PagesText(), "4294967295");
}

TEST(CrawlerForm, StartUpStoresTheDefaultAndShowsTheStoredAddress)
{
    MemorySettings fresh;
    CrawlerForm first(fresh);
    const CrawlerForm::StartUp startUp = first.Load();
    EXPECT_TRUE(startUp.bSettingsFound);
    EXPECT_EQ(startUp.strUrlField, kDefaultStartAddress);
    EXPECT_EQ(first.Url(), kDefaultStartAddress);

    MemorySettings stored;
    stored.SaveDefaultUrl("http://mine.example/");
    stored.SaveStandardLinkRules(true);
    CrawlerForm again(stored);
    EXPECT_EQ(again.Load().strUrlField, "http://mine.example/");
    EXPECT_TRUE(again.StandardLinkRules());
    EXPECT_EQ(again.Rules(), LinkRules::Standard);

    MemorySettings broken;
    broken.SetReadable(false);
    CrawlerForm unread(broken);
    const CrawlerForm::StartUp missing = unread.Load();
    EXPECT_FALSE(missing.bSettingsFound);
    EXPECT_EQ(missing.strUrlField, "http://");
    EXPECT_EQ(unread.Url(), "");
}

TEST(CrawlerForm, CrawlNormalisesStoresThenChecks)
{
    struct Case {
        const char* pTyped;
        bool bStandard;
        const char* pNormalised;
        const char* pRefusalStart;  // empty: accepted
    };
    const Case cases[] = {
        {"HTTP://Host/Dir", false, "http://host/dir/", ""},
        {"www.host.example", false, "www.host.example/", "Invalid URL"},
        {"HTTPS://Host/Dir", false, "https://host/dir/", "Invalid URL"},
        {"", false, "", "Invalid URL"},
        {"http://www.CorVane.example/", false, "http://www.corvane.example/", "This website cannot be scanned."},
        {"HTTPS://Host/Dir", true, "https://host/Dir", ""},
        {"http://www.CorVane.example/", true, "http://www.corvane.example/", "This website cannot be scanned."},
    };
    for (const Case& c : cases) {
        MemorySettings settings;
        CrawlerForm form(settings);
        form.SetStandardLinkRules(c.bStandard);
        CrawlSettings engine;
        engine.pageDelay = std::chrono::milliseconds(7);
        form.SetEngineSettings(engine);
        form.PagesTyped("25");
        std::string sShown;
        form.IterationsTyped("5", sShown);

        const CrawlerForm::CrawlPlan plan = form.PrepareCrawl(c.pTyped);
        EXPECT_EQ(plan.strUrl, c.pNormalised) << c.pTyped;
        EXPECT_EQ(form.Url(), c.pNormalised) << c.pTyped;
        std::string strStored;
        ASSERT_TRUE(settings.ReadDefaultUrl(strStored)) << c.pTyped;
        EXPECT_EQ(strStored, c.pNormalised) << c.pTyped;  // also a refused one
        EXPECT_EQ(plan.strRefusal.rfind(c.pRefusalStart, 0), 0u) << c.pTyped << ": " << plan.strRefusal;
        if (*c.pRefusalStart) {
            EXPECT_EQ(plan.strStatus, "") << c.pTyped;
            continue;
        }
        EXPECT_EQ(plan.strRefusal, "") << c.pTyped;
        EXPECT_EQ(plan.strStatus, std::string("Scanning ") + c.pNormalised) << c.pTyped;
        EXPECT_EQ(plan.inputs.strUrl, c.pNormalised) << c.pTyped;
        EXPECT_EQ(plan.inputs.settings.nMaxPages, 25) << c.pTyped;
        EXPECT_EQ(plan.inputs.settings.nIterations, 5) << c.pTyped;
        EXPECT_EQ(plan.inputs.settings.pageDelay.count(), 7) << c.pTyped;
        EXPECT_EQ(plan.inputs.settings.linkRules, c.bStandard ? LinkRules::Standard : LinkRules::Classic) << c.pTyped;
    }
}

TEST(CrawlerForm, LinkRulesAreStoredAndShownInTheTitle)
{
    MemorySettings settings;
    CrawlerForm form(settings);
    EXPECT_EQ(form.Title(), "Plovik");
    form.SetStandardLinkRules(true);
    EXPECT_TRUE(settings.ReadStandardLinkRules());
    EXPECT_EQ(form.Title(), "Plovik (standard link rules)");
    form.SetStandardLinkRules(false);
    EXPECT_FALSE(settings.ReadStandardLinkRules());
    EXPECT_EQ(form.Title(), kProgramName);
}

TEST(CrawlerForm, VisitPageAddressOfARowLabel)
{
    const std::pair<const char*, const char*> cases[] = {
        {"host/a/", "http://host/a/"},
        {"https://host/a/", "https://host/a/"},
        {"HTTPS://host/", "http://HTTPS://host/"},  // only the form the engine writes counts
        {"", "http://"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CrawlerForm::PageAddressOfLabel(c.first), c.second) << c.first;
}

TEST(ResultColumns, LayoutOfTheResultsList)
{
    EXPECT_EQ(ResultsLayout(), "Page,240;PR,40;In,30;Out,30;Depth,43;Status,45");
}

}  // namespace
