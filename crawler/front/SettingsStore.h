#pragma once
// What the window keeps between runs, whatever holds it: the registry on Windows,
// settings files under Qt, memory for the headless crawl and the tests.

#include <string>

namespace plovik {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // First start: stores strDefault as the start address when there is none.
    // Failures are silent.
    virtual void EnsureDefaultUrl(const std::string& strDefault) = 0;
    // The stored start address; false when it cannot be read, is missing or is too long.
    virtual bool ReadDefaultUrl(std::string& strUrl) const = 0;
    // Failures are silent.
    virtual void SaveDefaultUrl(const std::string& strUrl) = 0;

    // The menu's "Standard link rules"; off unless stored.
    virtual bool ReadStandardLinkRules() const = 0;
    virtual void SaveStandardLinkRules(bool bOn) = 0;
};

}  // namespace plovik
