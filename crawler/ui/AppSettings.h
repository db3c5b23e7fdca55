#pragma once
// Where the program keeps what outlives a run: the start address (organisation
// "Corvane", application "Skarrow", user scope) and the application profile, a
// separate settings file of the program holding the results list's column widths.

#include <QSettings>
#include <QString>

#include <memory>

#include "SettingsStore.h"

namespace plovik {

std::unique_ptr<QSettings> OpenUrlSettings();
std::unique_ptr<QSettings> OpenProfile();

// Creates "DEFAULT_URL" with strDefault when it is missing. Failures are silent.
void EnsureSettingsKey(const QString& sDefault);

// The stored start address; false when it cannot be read, is missing, or holds 255
// characters or more.
bool ReadDefaultUrl(QString& sUrl);

// Stores the start address; failures are silent.
void SaveDefaultUrl(const QString& sUrl);

// The window menu's "Standard link rules" (off unless stored), kept in the profile.
bool ReadStandardLinkRules();
void SaveStandardLinkRules(bool bOn);

// The functions above as the window's form sees them; addresses as UTF-8.
class AppSettings : public SettingsStore {
public:
    void EnsureDefaultUrl(const std::string& strDefault) override;
    bool ReadDefaultUrl(std::string& strUrl) const override;
    void SaveDefaultUrl(const std::string& strUrl) override;
    bool ReadStandardLinkRules() const override;
    void SaveStandardLinkRules(bool bOn) override;
};

}  // namespace plovik
