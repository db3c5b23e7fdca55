#include "RegistrySettings.h"

#include <cstring>

namespace plovik {

namespace {

const char kValueName[] = "DEFAULT_URL";
// 254 characters and the terminating zero.
constexpr DWORD kUrlBuffer = 255;

class Key {
public:
    Key() = default;
    ~Key()
    {
        if (m_h)
            RegCloseKey(m_h);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool Open(HKEY hRoot, const std::string& strPath, REGSAM access)
    {
        return RegOpenKeyExA(hRoot, strPath.c_str(), 0, access, &m_h) == ERROR_SUCCESS;
    }
    bool Create(HKEY hRoot, const std::string& strPath)
    {
        return RegCreateKeyExA(hRoot, strPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &m_h,
                               nullptr) == ERROR_SUCCESS;
    }
    HKEY Get() const { return m_h; }

private:
    HKEY m_h = nullptr;
};

enum class UrlValue { Read, Missing, Unreadable };

UrlValue ReadUrlFrom(HKEY hRoot, const std::string& strPath, std::string& strUrl)
{
    Key key;
    if (!key.Open(hRoot, strPath, KEY_QUERY_VALUE))
        return UrlValue::Missing;
    char szBuffer[kUrlBuffer + 1] = {};
    DWORD nSize = kUrlBuffer;
    // The value's type is not looked at.
    const LONG nResult =
        RegQueryValueExA(key.Get(), kValueName, nullptr, nullptr, reinterpret_cast<BYTE*>(szBuffer), &nSize);
    if (nResult == ERROR_FILE_NOT_FOUND)
        return UrlValue::Missing;
    if (nResult != ERROR_SUCCESS)
        return UrlValue::Unreadable;
    const std::size_t nLen = strnlen(szBuffer, nSize);
    if (nLen >= kUrlBuffer)
        return UrlValue::Unreadable;
    strUrl.assign(szBuffer, nLen);
    return UrlValue::Read;
}

void WriteUrl(HKEY hRoot, const std::string& strPath, const std::string& strUrl)
{
    Key key;
    if (!key.Create(hRoot, strPath))
        return;
    // Stored with its terminating zero.
    RegSetValueExA(key.Get(), kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(strUrl.c_str()),
                   static_cast<DWORD>(strUrl.size() + 1));
}

std::string ProfileSection(const RegistryPlaces& places)
{
    return places.strProfileKey + "\\ListCtrls";
}

const char* const kStandardLinksEntry = "StandardLinkRules";
std::string CrawlSection(const RegistryPlaces& places)
{
    return places.strProfileKey + "\\Crawl";
}

}  // namespace

void EnsureSettingsKey(const RegistryPlaces& places, const std::string& strDefault)
{
    Key user;
    if (user.Open(places.hUser, places.strUrlKey, KEY_QUERY_VALUE))
        return;
    std::string strMachine;
    if (ReadUrlFrom(places.hMachine, places.strUrlKey, strMachine) == UrlValue::Read)
        return;
    WriteUrl(places.hUser, places.strUrlKey, strDefault);
}

bool ReadDefaultUrl(const RegistryPlaces& places, std::string& strUrl)
{
    // The machine's address stands in only for a user who has none: a user's value
    // that cannot be read is an error, not a reason to take another.
    switch (ReadUrlFrom(places.hUser, places.strUrlKey, strUrl)) {
    case UrlValue::Read:
        return true;
    case UrlValue::Unreadable:
        return false;
    case UrlValue::Missing:
        break;
    }
    return ReadUrlFrom(places.hMachine, places.strUrlKey, strUrl) == UrlValue::Read;
}

void SaveDefaultUrl(const RegistryPlaces& places, const std::string& strUrl)
{
    WriteUrl(places.hUser, places.strUrlKey, strUrl);
}

bool ReadColumnWidths(const RegistryPlaces& places, int nListId, std::vector<std::int32_t>& widths)
{
    Key key;
    if (!key.Open(places.hUser, ProfileSection(places), KEY_QUERY_VALUE))
        return false;
    const std::string strEntry = std::to_string(nListId);
    DWORD nSize = 0;
    if (RegQueryValueExA(key.Get(), strEntry.c_str(), nullptr, nullptr, nullptr, &nSize) != ERROR_SUCCESS || nSize < 4)
        return false;
    std::vector<BYTE> bytes(nSize);
    if (RegQueryValueExA(key.Get(), strEntry.c_str(), nullptr, nullptr, bytes.data(), &nSize) != ERROR_SUCCESS)
        return false;
    std::int32_t nCount = 0;
    std::memcpy(&nCount, bytes.data(), 4);
    // No width is read from beyond the value.
    if (nCount < 0 || static_cast<std::size_t>(nCount) > (nSize - 4) / 4)
        return false;
    widths.resize(static_cast<std::size_t>(nCount));
    if (nCount > 0)
        std::memcpy(widths.data(), bytes.data() + 4, widths.size() * 4);
    return true;
}

void SaveColumnWidths(const RegistryPlaces& places, int nListId, const std::vector<std::int32_t>& widths)
{
    Key key;
    if (!key.Create(places.hUser, ProfileSection(places)))
        return;
    std::vector<BYTE> bytes(4 + widths.size() * 4);
    const auto nCount = static_cast<std::int32_t>(widths.size());
    std::memcpy(bytes.data(), &nCount, 4);
    if (!widths.empty())
        std::memcpy(bytes.data() + 4, widths.data(), widths.size() * 4);
    const std::string strEntry = std::to_string(nListId);
    RegSetValueExA(key.Get(), strEntry.c_str(), 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

bool ReadStandardLinkRules(const RegistryPlaces& places)
{
    Key key;
    if (!key.Open(places.hUser, CrawlSection(places), KEY_QUERY_VALUE))
        return false;
    DWORD nType = 0, nValue = 0, nSize = sizeof nValue;
    if (RegQueryValueExA(key.Get(), kStandardLinksEntry, nullptr, &nType, reinterpret_cast<BYTE*>(&nValue), &nSize) !=
        ERROR_SUCCESS)
        return false;
    return nType == REG_DWORD && nSize == sizeof nValue && nValue != 0;
}

void SaveStandardLinkRules(const RegistryPlaces& places, bool bOn)
{
    Key key;
    if (!key.Create(places.hUser, CrawlSection(places)))
        return;
    const DWORD nValue = bOn ? 1 : 0;
    RegSetValueExA(key.Get(), kStandardLinksEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&nValue), sizeof nValue);
}

}  // namespace plovik
