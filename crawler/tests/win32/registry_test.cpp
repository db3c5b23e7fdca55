// The registry rules of plovik.exe, on scratch keys standing for the user's and the
// machine's.

#include <gtest/gtest.h>

#include "RegistrySettings.h"

using namespace plovik;

namespace {

class Registry : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        places.hUser = Create("\\User");
        places.hMachine = Create("\\Machine");
    }
    void TearDown() override
    {
        RegCloseKey(places.hUser);
        RegCloseKey(places.hMachine);
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
    }
    static HKEY Create(const std::string& strSub)
    {
        HKEY h = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kScratch) + strSub).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &h, nullptr);
        return h;
    }
    static void Store(HKEY hRoot, const std::string& strValue)
    {
        HKEY h = nullptr;
        ASSERT_EQ(
            RegCreateKeyExA(hRoot, "SOFTWARE\\Corvane\\Skarrow", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr),
            ERROR_SUCCESS);
        RegSetValueExA(h, "DEFAULT_URL", 0, REG_SZ, reinterpret_cast<const BYTE*>(strValue.c_str()),
                       static_cast<DWORD>(strValue.size() + 1));
        RegCloseKey(h);
    }
    static constexpr const char* kScratch = "Software\\PlovikRegistryTest";
    RegistryPlaces places;
};

TEST_F(Registry, FirstStartCreatesTheUsersKeyWithTheDefault)
{
    std::string strUrl;
    EXPECT_FALSE(ReadDefaultUrl(places, strUrl));
    EnsureSettingsKey(places, "http://news.example/");
    ASSERT_TRUE(ReadDefaultUrl(places, strUrl));
    EXPECT_EQ(strUrl, "http://news.example/");
    // An existing key is left alone.
    EnsureSettingsKey(places, "http://other.example/");
    ASSERT_TRUE(ReadDefaultUrl(places, strUrl));
    EXPECT_EQ(strUrl, "http://news.example/");
}

TEST_F(Registry, TheMachinesAddressIsReadWhenTheUserHasNone)
{
    Store(places.hMachine, "http://earlier.example/");
    EnsureSettingsKey(places, "http://news.example/");
    std::string strUrl;
    ASSERT_TRUE(ReadDefaultUrl(places, strUrl));
    EXPECT_EQ(strUrl, "http://earlier.example/");
    // A Crawl stores the user's own, which wins from then on.
    SaveDefaultUrl(places, "http://mine.example/");
    ASSERT_TRUE(ReadDefaultUrl(places, strUrl));
    EXPECT_EQ(strUrl, "http://mine.example/");
}

TEST_F(Registry, ValuesOf255CharactersOrMoreAreMissing)
{
    struct Case {
        std::size_t nLen;
        bool bRead;
    };
    // A user's value too long to read is an error, not a reason to take the machine's.
    Store(places.hMachine, "http://machine.example/");
    for (const Case& c : {Case{254, true}, Case{255, false}, Case{400, false}}) {
        const std::string strValue = "http://h/" + std::string(c.nLen - 9, 'a');
        Store(places.hUser, strValue);
        std::string strUrl;
        EXPECT_EQ(ReadDefaultUrl(places, strUrl), c.bRead) << c.nLen;
        if (c.bRead) {
            EXPECT_EQ(strUrl, strValue);
        }
    }
}

TEST_F(Registry, ColumnWidthsRoundTripInTheProfileLayout)
{
    std::vector<std::int32_t> widths;
    EXPECT_FALSE(ReadColumnWidths(places, 1001, widths));
    SaveColumnWidths(places, 1001, {240, 40, 30, 30, 43, 45});
    ASSERT_TRUE(ReadColumnWidths(places, 1001, widths));
    EXPECT_EQ(widths, (std::vector<std::int32_t>{240, 40, 30, 30, 43, 45}));

    // The raw entry: a count, then the widths, all 32-bit.
    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyExA(places.hUser, "Software\\Corvane\\Plovik\\ListCtrls", 0, KEY_ALL_ACCESS, &h),
              ERROR_SUCCESS);
    BYTE raw[64] = {};
    DWORD nSize = sizeof raw;
    ASSERT_EQ(RegQueryValueExA(h, "1001", nullptr, nullptr, raw, &nSize), ERROR_SUCCESS);
    EXPECT_EQ(nSize, 28u);
    EXPECT_EQ(raw[0], 6);
    EXPECT_EQ(raw[4], 240);

    // A count that promises more widths than the value holds is not read.
    const std::int32_t shortValue[] = {6, 100, 100};
    RegSetValueExA(h, "1001", 0, REG_BINARY, reinterpret_cast<const BYTE*>(shortValue), sizeof shortValue);
    RegCloseKey(h);
    EXPECT_FALSE(ReadColumnWidths(places, 1001, widths));
}

}  // namespace
