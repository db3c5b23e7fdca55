#pragma once
// Settings that last as long as the object: the headless crawl keeps nothing, and
// tests look at what a form stored.

#include "SettingsStore.h"

namespace plovik {

class MemorySettings : public SettingsStore {
public:
    void EnsureDefaultUrl(const std::string& strDefault) override
    {
        if (!m_bHasUrl)
            SaveDefaultUrl(strDefault);
    }
    bool ReadDefaultUrl(std::string& strUrl) const override
    {
        if (!m_bHasUrl || !m_bReadable)
            return false;
        strUrl = m_strUrl;
        return true;
    }
    void SaveDefaultUrl(const std::string& strUrl) override
    {
        m_strUrl = strUrl;
        m_bHasUrl = true;
    }
    bool ReadStandardLinkRules() const override { return m_bStandardLinks; }
    void SaveStandardLinkRules(bool bOn) override { m_bStandardLinks = bOn; }

    bool HasUrl() const { return m_bHasUrl; }
    // A store whose address cannot be read back (a broken settings file).
    void SetReadable(bool bReadable) { m_bReadable = bReadable; }

private:
    std::string m_strUrl;
    bool m_bHasUrl = false;
    bool m_bReadable = true;
    bool m_bStandardLinks = false;
};

}  // namespace plovik
