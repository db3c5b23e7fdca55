#include "CrawlerForm.h"

#include "ProgramTexts.h"
#include "ProgressRows.h"
#include "StartAddress.h"
#include "TextFormat.h"

#include <limits>

namespace plovik {

CrawlerForm::StartUp CrawlerForm::Load()
{
    StartUp startUp;
    m_settings.EnsureDefaultUrl(kDefaultStartAddress);
    startUp.strUrlField = "http://";
    std::string strStored;
    if (m_settings.ReadDefaultUrl(strStored)) {
        m_strUrl = strStored;
        startUp.strUrlField = strStored;
        startUp.bSettingsFound = true;
    }
    m_bStandardLinks = m_settings.ReadStandardLinkRules();
    return startUp;
}

void CrawlerForm::PagesTyped(const std::string& sText)
{
    m_nPages = static_cast<std::uint32_t>(ParseCInt32(sText));
}

bool CrawlerForm::IterationsTyped(const std::string& sText, std::string& sShown)
{
    const std::int32_t nValue = ParseCInt32(sText);
    m_nIterations = CapIterations(nValue);
    if (m_nIterations == static_cast<std::uint32_t>(nValue))
        return false;
    sShown = IterationsText();
    return true;
}

std::string CrawlerForm::StepPages(int nDelta)
{
    m_nPages = StepSetting(m_nPages, nDelta, std::numeric_limits<std::int32_t>::max());
    return PagesText();
}

std::string CrawlerForm::StepIterations(int nDelta)
{
    m_nIterations = StepSetting(m_nIterations, nDelta, kMaxIterations);
    return IterationsText();
}

std::string CrawlerForm::PagesText() const
{
    return FormatInt(m_nPages);
}

std::string CrawlerForm::IterationsText() const
{
    return FormatInt(m_nIterations);
}

CrawlerForm::Field CrawlerForm::ReadFields(const std::string& sIterations, const std::string& sPages)
{
    std::uint32_t nIterations = 0, nPages = 0;
    if (!ParseExchangeUnsigned(sIterations, nIterations))
        return Field::Iterations;
    if (!ParseExchangeUnsigned(sPages, nPages))
        return Field::Pages;
    m_nIterations = nIterations;
    m_nPages = nPages;
    return Field::None;
}

void CrawlerForm::SetStandardLinkRules(bool bOn)
{
    m_bStandardLinks = bOn;
    m_settings.SaveStandardLinkRules(bOn);
}

std::string CrawlerForm::Title() const
{
    std::string s = kProgramName;
    if (m_bStandardLinks)
        s += kStandardLinksTitleSuffix;
    return s;
}

CrawlerForm::CrawlPlan CrawlerForm::PrepareCrawl(const std::string& strTyped)
{
    CrawlPlan plan;
    const LinkRules rules = Rules();
    m_strUrl = NormaliseStartAddress(strTyped, rules);
    plan.strUrl = m_strUrl;
    m_settings.SaveDefaultUrl(m_strUrl);
    plan.strRefusal = StartAddressMessage(CheckStartAddress(m_strUrl, rules));
    if (!plan.strRefusal.empty())
        return plan;
    plan.strStatus = ProgressRows::ScanningText(m_strUrl);
    plan.inputs.strUrl = m_strUrl;
    plan.inputs.settings = m_engineSettings;
    plan.inputs.settings.nIterations = static_cast<std::int32_t>(m_nIterations);
    plan.inputs.settings.nMaxPages = static_cast<std::int32_t>(m_nPages);
    plan.inputs.settings.linkRules = rules;
    return plan;
}

std::string CrawlerForm::PageAddressOfLabel(const std::string& strLabel)
{
    return strLabel.rfind("https://", 0) == 0 ? strLabel : "http://" + strLabel;
}

}  // namespace plovik
