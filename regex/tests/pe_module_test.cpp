// The module reader on well-formed, truncated and hostile resource modules.

#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "../src/NativeLocaleNames.h"
#include "../src/PeModule.h"
#include "support/PeWriter.h"

using RegexClass::detail::CharacterCount;
using RegexClass::detail::PeModule;
using RegexClass::detail::Utf16ToUtf8;

namespace {

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    for (unsigned k = 0; k < 4; ++k)
        b[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
}

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

bool IsValidUtf8(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

const std::map<unsigned, std::string> kStrings = {
    {0, "zero"},     {1, "one"},       {15, "fifteen"},          {16, "sixteen"},
    {143, "s"},      {208, "Klammer"}, {251, "Leerer Ausdruck"}, {252, "Keine DLL "},
    {300, "ziffer"}, {65535, "last"},
};

std::string Read(const PeModule& module, unsigned id)
{
    std::string text;
    return module.ReadString(id, text) ? text : std::string("<missing>");
}

}  // namespace

TEST(PeModule, ReadsStringsFromBothHeaderFormats)
{
    for (bool pe64 : {false, true}) {
        SCOPED_TRACE(pe64 ? "PE32+" : "PE32");
        petest::PeOptions options;
        options.pe64 = pe64;
        auto module = PeModule::FromBytes(petest::BuildStringModuleUtf8(kStrings, options).bytes);
        ASSERT_NE(module, nullptr);
        for (const auto& entry : kStrings)
            EXPECT_EQ(Read(*module, entry.first), entry.second) << "id " << entry.first;
        // Ids in a block that exists, ids in blocks that do not, ids beyond 16 bits.
        for (unsigned missing : {2u, 14u, 17u, 144u, 250u, 253u, 1000u, 65534u, 65536u, 0x10000Fu})
            EXPECT_EQ(Read(*module, missing), "<missing>") << "id " << missing;
    }
}

TEST(PeModule, LoadsFromFileByName)
{
    petest::ScratchDirectory dir;
    const std::string path = dir.file("msgs.dll");
    ASSERT_TRUE(petest::WriteStringModule(path, kStrings));
    auto module = PeModule::Load(path);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(Read(*module, 251), "Leerer Ausdruck");
}

TEST(PeModule, ModuleWithoutResourcesLoadsWithoutStrings)
{
    petest::PeOptions options;
    options.withResources = false;
    auto module = PeModule::FromBytes(petest::BuildStringModuleUtf8(kStrings, options).bytes);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(Read(*module, 0), "<missing>");
    EXPECT_EQ(Read(*module, 251), "<missing>");
}

TEST(PeModule, EmptyStringCountsAsMissing)
{
    auto module = PeModule::FromBytes(petest::BuildStringModuleUtf8({{143, ""}, {144, "x"}}).bytes);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(Read(*module, 143), "<missing>");
    EXPECT_EQ(Read(*module, 144), "x");
}

TEST(PeModule, RefusesWhatIsNotALoadableFile)
{
    petest::ScratchDirectory dir;
    const std::string garbage = dir.file("garbage.dll");
    ASSERT_TRUE(petest::WriteBytes(garbage, std::vector<std::uint8_t>(4096, 0x5A)));
    const std::string fifo = dir.file("fifo.dll");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Larger than the cap: a sparse file costs no disk.
    const std::string huge = dir.file("huge.dll");
    ASSERT_TRUE(petest::WriteStringModule(huge, kStrings));
    ASSERT_EQ(::truncate(huge.c_str(), PeModule::kMaxFileSize + 1), 0);

    for (const std::string& name :
         {std::string(), dir.file("absent.dll"), dir.path(), garbage, fifo, huge, std::string("a\0b", 3)}) {
        EXPECT_EQ(PeModule::Load(name), nullptr) << name;
    }
}

TEST(PeModule, DamagedHeadersAreRefused)
{
    const petest::PeImage image = petest::BuildStringModuleUtf8(kStrings);
    struct Damage {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> apply;
    };
    const std::size_t opt = image.optionalHeader;
    const std::size_t sec = image.sectionTable;
    const std::vector<Damage> damages = {
        {"no MZ", [](auto& b) { b[0] = 'X'; }},
        {"PE header past the end", [](auto& b) { Put32(b, 0x3C, 0xFFFFFFF0u); }},
        {"PE header just past the end", [](auto& b) { Put32(b, 0x3C, static_cast<std::uint32_t>(b.size() - 10)); }},
        {"no PE signature", [&](auto& b) { b[image.peHeader] = 'N'; }},
        {"unknown optional magic", [&](auto& b) { Put16(b, opt, 0x107); }},
        {"optional header too small", [&](auto& b) { Put16(b, image.peHeader + 20, 8); }},
        {"optional header past the end", [&](auto& b) { Put16(b, image.peHeader + 20, 0xFFFF); }},
        {"section table past the end", [&](auto& b) { Put16(b, image.peHeader + 6, 0xFFFF); }},
        {"section data past the end", [&](auto& b) { Put32(b, sec + 20, 0xFFFFFF00u); }},
        {"section size past the end", [&](auto& b) { Put32(b, sec + 16, 0x7FFFFFFFu); }},
        {"resources outside every section", [&](auto& b) { Put32(b, opt + 96 + 16, 0x900000u); }},
    };
    for (const Damage& damage : damages) {
        std::vector<std::uint8_t> bytes = image.bytes;
        damage.apply(bytes);
        EXPECT_EQ(PeModule::FromBytes(bytes), nullptr) << damage.what;
    }
}

TEST(PeModule, HostileResourceTreeGivesMissingStrings)
{
    const petest::PeImage image = petest::BuildStringModuleUtf8(kStrings);
    const std::size_t root = image.resourceSection;
    struct Damage {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> apply;
    };
    const std::vector<Damage> damages = {
        {"type directory far away", [&](auto& b) { Put32(b, root + 20, 0xFFFFFFF0u); }},
        {"type entry is data", [&](auto& b) { Put32(b, root + 20, 0x10); }},
        {"type directory is the root (loop)", [&](auto& b) { Put32(b, root + 20, 0x80000000u); }},
        {"data entry rva past the end", [&](auto& b) { Put32(b, image.firstDataEntry, 0xFFFFFFF0u); }},
        {"data entry size past the end", [&](auto& b) { Put32(b, image.firstDataEntry + 4, 0xFFFFFFFFu); }},
        {"string lengths past the block",
         [&](auto& b) {
             for (std::size_t k = 0; k < 8; ++k)
                 Put16(b, image.firstStringBlock + 2 * k, 0xFFFF);
         }},
    };
    for (const Damage& damage : damages) {
        std::vector<std::uint8_t> bytes = image.bytes;
        damage.apply(bytes);
        auto module = PeModule::FromBytes(bytes);
        ASSERT_NE(module, nullptr) << damage.what;
        std::string text;
        // Strings of the first block (ids 0..15) are unreadable under every damage above.
        for (unsigned id : {0u, 1u, 15u})
            EXPECT_FALSE(module->ReadString(id, text)) << damage.what << " id " << id;
    }
}

TEST(PeModule, EntryCountsBeyondTheSectionStopAtItsEnd)
{
    petest::PeImage image = petest::BuildStringModuleUtf8(kStrings);
    Put16(image.bytes, image.resourceSection + 12, 0xFFFF);
    Put16(image.bytes, image.resourceSection + 14, 0xFFFF);
    Put16(image.bytes, image.typeDirectory + 14, 0xFFFF);
    auto module = PeModule::FromBytes(image.bytes);
    ASSERT_NE(module, nullptr);
    // The real entries come first and are still found; a search for an
    // absent block walks to the end of the section and stops.
    EXPECT_EQ(Read(*module, 0), "zero");
    EXPECT_EQ(Read(*module, 1000), "<missing>");
}

TEST(PeModule, EveryTruncationIsRefusedOrReadsCorrectly)
{
    for (bool pe64 : {false, true}) {
        petest::PeOptions options;
        options.pe64 = pe64;
        const std::vector<std::uint8_t> full = petest::BuildStringModuleUtf8(kStrings, options).bytes;
        for (std::size_t length = 0; length < full.size(); ++length) {
            auto module = PeModule::FromBytes(
                std::vector<std::uint8_t>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length)));
            if (!module)
                continue;
            for (const auto& entry : kStrings) {
                const std::string text = Read(*module, entry.first);
                EXPECT_TRUE(text == entry.second || text == "<missing>")
                    << "length " << length << " id " << entry.first << ": " << text;
            }
        }
    }
}

TEST(PeModule, RandomCorruptionNeverReadsOutOfBounds)
{
    const petest::PeImage image = petest::BuildStringModuleUtf8(kStrings);
    std::mt19937 random(20261207);
    std::uniform_int_distribution<std::size_t> anywhere(0, image.bytes.size() - 1);
    std::uniform_int_distribution<std::size_t> structure(image.resourceSection, image.firstStringBlock + 64);
    std::uniform_int_distribution<int> byte(0, 255);
    int loaded = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> bytes = image.bytes;
        const int flips = 1 + round % 8;
        for (int k = 0; k < flips; ++k) {
            const std::size_t at = (round % 2) ? structure(random) : anywhere(random);
            bytes[at] = static_cast<std::uint8_t>(byte(random));
        }
        auto module = PeModule::FromBytes(std::move(bytes));
        if (!module)
            continue;
        ++loaded;
        std::string text;
        for (unsigned id : {0u, 1u, 2u, 15u, 16u, 143u, 208u, 251u, 252u, 300u, 65535u}) {
            if (module->ReadString(id, text)) {
                EXPECT_TRUE(IsValidUtf8(text)) << "round " << round << " id " << id;
                EXPECT_LE(CharacterCount(text), PeModule::kStringBufferChars);
            }
        }
    }
    // Most damage inside the resource tree leaves the headers intact.
    EXPECT_GT(loaded, 1000);
}

TEST(PeModule, ConvertsUtf16ToUtf8)
{
    struct Row {
        std::u16string in;
        std::string out;
    };
    const Row rows[] = {
        {u"plain", "plain"},
        {u"Gr\u00f6\u00dfe \u20ac",
         "Gr\xc3\xb6\xc3\x9f"
         "e \xe2\x82\xac"},
        {u"\U0001D11E", "\xf0\x9d\x84\x9e"},
        {std::u16string(1, char16_t(0xD834)) + u"x", "\xef\xbf\xbdx"},  // unpaired high surrogate
        {std::u16string(1, char16_t(0xDD1E)), "\xef\xbf\xbd"},          // unpaired low surrogate
        {std::u16string(1, char16_t(0xD834)), "\xef\xbf\xbd"},          // high surrogate at the end
    };
    for (const Row& row : rows)
        EXPECT_EQ(Utf16ToUtf8(row.in.data(), row.in.size(), 255), row.out);
}

TEST(PeModule, CharacterCapNeverSplitsACharacter)
{
    const std::u16string clef = u"\U0001D11E";
    struct Row {
        const char* what;
        std::u16string text;
        std::size_t expectedChars;
    };
    std::u16string pairs;
    for (int k = 0; k < 300; ++k)
        pairs += clef;
    const Row rows[] = {
        {"300 ASCII", std::u16string(300, u'a'), 255},
        {"255 ASCII", std::u16string(255, u'a'), 255},
        {"254 ASCII", std::u16string(254, u'a'), 254},
        {"300 two-byte", std::u16string(300, u'\u00e9'), 255},
        {"300 three-byte", std::u16string(300, u'\u20ac'), 255},
        {"300 surrogate pairs", pairs, 255},
        {"254 ASCII then a pair", std::u16string(254, u'a') + clef + u"b", 255},
    };
    for (const Row& row : rows) {
        auto module = PeModule::FromBytes(petest::BuildStringModule({{7, row.text}}).bytes);
        ASSERT_NE(module, nullptr);
        std::string text;
        ASSERT_TRUE(module->ReadString(7, text)) << row.what;
        EXPECT_TRUE(IsValidUtf8(text)) << row.what;
        EXPECT_EQ(CharacterCount(text), row.expectedChars) << row.what;
    }
    // The last character taken may be a whole surrogate pair.
    auto module = PeModule::FromBytes(petest::BuildStringModule({{7, std::u16string(254, u'a') + clef}}).bytes);
    std::string text;
    ASSERT_TRUE(module->ReadString(7, text));
    EXPECT_EQ(text.substr(254), "\xf0\x9d\x84\x9e");
    EXPECT_EQ(Utf16ToUtf8(pairs.data(), pairs.size(), 1), "\xf0\x9d\x84\x9e");
}
