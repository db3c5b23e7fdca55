#pragma once
// Where the program keeps what outlives a run: the start address (organisation
// "Corvane", application "Skarrow", user scope) and the application profile, a
// separate settings file of the program holding the results list's column widths.

#include <QSettings>
#include <QString>

#include <memory>

namespace plovik {

std::unique_ptr<QSettings> OpenUrlSettings();
std::unique_ptr<QSettings> OpenProfile();

// Creates "DEFAULT_URL" with the default start address when it is missing.
// Failures are silent.
void EnsureSettingsKey();

// The stored start address; false when it cannot be read, is missing, or holds 255
// characters or more.
bool ReadDefaultUrl(QString& sUrl);

// Stores the start address; failures are silent.
void SaveDefaultUrl(const QString& sUrl);

// The window menu's "Standard link rules" (off unless stored), kept in the profile.
bool ReadStandardLinkRules();
void SaveStandardLinkRules(bool bOn);

}  // namespace plovik
