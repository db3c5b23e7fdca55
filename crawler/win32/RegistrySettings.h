#pragma once
// What plovik.exe keeps in the registry. The start address is "DEFAULT_URL" under
// SOFTWARE\Corvane\Skarrow of the current user; a user without one reads the
// machine's, so an earlier installation's address carries over (a user without
// administrator rights cannot create the machine's key). The results list's column
// widths are the application profile's entry ListCtrls/1001 under
// Software\Corvane\Plovik of the current user: a 32-bit count, then that many
// 32-bit widths. The link rules choice sits beside them, under Crawl.

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "SettingsStore.h"

namespace plovik {

// Where the settings live; tests point both roots at scratch keys.
struct RegistryPlaces {
    HKEY hUser = HKEY_CURRENT_USER;
    HKEY hMachine = HKEY_LOCAL_MACHINE;
    std::string strUrlKey = "SOFTWARE\\Corvane\\Skarrow";
    std::string strProfileKey = "Software\\Corvane\\Plovik";
};

// First start: a user with no address of their own and no machine address gets the
// key with the default address. Failures are silent.
void EnsureSettingsKey(const RegistryPlaces& places, const std::string& strDefault);

// The user's address, or the machine's when the user has none; false when the value
// it comes to cannot be read or holds 255 characters or more.
bool ReadDefaultUrl(const RegistryPlaces& places, std::string& strUrl);

// Stores the user's address; failures are silent.
void SaveDefaultUrl(const RegistryPlaces& places, const std::string& strUrl);

// Column widths of the list with the given dialog id: false when the entry is
// missing, empty, or shorter than its count promises.
bool ReadColumnWidths(const RegistryPlaces& places, int nListId, std::vector<std::int32_t>& widths);
void SaveColumnWidths(const RegistryPlaces& places, int nListId, const std::vector<std::int32_t>& widths);

// The system menu's "Standard link rules": the profile's entry Crawl/StandardLinkRules
// (a DWORD), off unless stored as non-zero.
bool ReadStandardLinkRules(const RegistryPlaces& places);
void SaveStandardLinkRules(const RegistryPlaces& places, bool bOn);

// The functions above at one place, as the window's form sees them.
class RegistrySettings : public SettingsStore {
public:
    explicit RegistrySettings(RegistryPlaces places = RegistryPlaces()) : m_places(std::move(places)) {}

    void EnsureDefaultUrl(const std::string& strDefault) override { EnsureSettingsKey(m_places, strDefault); }
    bool ReadDefaultUrl(std::string& strUrl) const override { return plovik::ReadDefaultUrl(m_places, strUrl); }
    void SaveDefaultUrl(const std::string& strUrl) override { plovik::SaveDefaultUrl(m_places, strUrl); }
    bool ReadStandardLinkRules() const override { return plovik::ReadStandardLinkRules(m_places); }
    void SaveStandardLinkRules(bool bOn) override { plovik::SaveStandardLinkRules(m_places, bOn); }

    const RegistryPlaces& Places() const { return m_places; }

private:
    RegistryPlaces m_places;
};

}  // namespace plovik
