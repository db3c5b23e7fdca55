#include "AppSettings.h"

namespace plovik {

namespace {
const char* const kUrlKey = "DEFAULT_URL";
const char* const kStandardLinksKey = "Crawl/StandardLinkRules";
// The value was read into a buffer of 255 bytes including its terminating zero.
constexpr int kMaxUrlLength = 254;
}  // namespace

std::unique_ptr<QSettings> OpenUrlSettings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Corvane"),
                                       QStringLiteral("Skarrow"));
}

std::unique_ptr<QSettings> OpenProfile()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Plovik"),
                                       QStringLiteral("Plovik"));
}

void EnsureSettingsKey(const QString& sDefault)
{
    auto pSettings = OpenUrlSettings();
    if (pSettings->status() == QSettings::NoError && pSettings->contains(kUrlKey))
        return;
    if (!pSettings->isWritable())
        return;
    pSettings->setValue(kUrlKey, sDefault);
    pSettings->sync();
}

bool ReadDefaultUrl(QString& sUrl)
{
    auto pSettings = OpenUrlSettings();
    // What was never written to disk does not count: a failed first start must not
    // look like a successful one.
    pSettings->sync();
    if (pSettings->status() != QSettings::NoError)
        return false;
    const QVariant value = pSettings->value(kUrlKey);
    if (!value.isValid())
        return false;
    const QString sValue = value.toString();
    if (sValue.toUtf8().size() > kMaxUrlLength)
        return false;
    sUrl = sValue;
    return true;
}

void SaveDefaultUrl(const QString& sUrl)
{
    auto pSettings = OpenUrlSettings();
    if (!pSettings->isWritable())
        return;
    pSettings->setValue(kUrlKey, sUrl);
    pSettings->sync();
}

bool ReadStandardLinkRules()
{
    return OpenProfile()->value(kStandardLinksKey, false).toBool();
}

void SaveStandardLinkRules(bool bOn)
{
    auto pProfile = OpenProfile();
    if (!pProfile->isWritable())
        return;
    pProfile->setValue(kStandardLinksKey, bOn);
    pProfile->sync();
}

void AppSettings::EnsureDefaultUrl(const std::string& strDefault)
{
    EnsureSettingsKey(QString::fromStdString(strDefault));
}

bool AppSettings::ReadDefaultUrl(std::string& strUrl) const
{
    QString sUrl;
    if (!plovik::ReadDefaultUrl(sUrl))
        return false;
    strUrl = sUrl.toStdString();
    return true;
}

void AppSettings::SaveDefaultUrl(const std::string& strUrl)
{
    plovik::SaveDefaultUrl(QString::fromStdString(strUrl));
}

bool AppSettings::ReadStandardLinkRules() const
{
    return plovik::ReadStandardLinkRules();
}

void AppSettings::SaveStandardLinkRules(bool bOn)
{
    plovik::SaveStandardLinkRules(bOn);
}

}  // namespace plovik
