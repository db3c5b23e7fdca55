#include "PeWriter.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace petest {

namespace {

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

std::size_t AlignUp(std::size_t v, std::size_t a)
{
    return (v + a - 1) / a * a;
}

constexpr std::size_t kFileAlignment = 0x200;
constexpr std::uint32_t kSectionRva = 0x1000;

// The resource tree: root -> RT_STRING -> block -> one language -> data.
std::vector<std::uint8_t> BuildResources(const std::map<unsigned, std::u16string>& strings, std::uint16_t language,
                                         PeImage& image, std::size_t sectionOffset)
{
    std::map<unsigned, std::vector<const std::u16string*>> blocks;
    for (const auto& entry : strings) {
        if (entry.first > 0xFFFF)
            throw std::invalid_argument("string id out of range");
        auto& block = blocks[entry.first / 16 + 1];
        block.resize(16, nullptr);
        block[entry.first % 16] = &entry.second;
    }
    const std::size_t blockCount = blocks.size();
    const std::size_t root = 0;
    const std::size_t typeDir = root + 16 + 8;
    const std::size_t langDirs = typeDir + 16 + 8 * blockCount;
    const std::size_t dataEntries = langDirs + 24 * blockCount;
    std::size_t data = dataEntries + 16 * blockCount;

    std::vector<std::uint8_t> out(data);
    Put16(out, root + 14, 1);
    Put32(out, root + 16, 6);
    Put32(out, root + 20, 0x80000000u | typeDir);
    Put16(out, typeDir + 14, static_cast<std::uint32_t>(blockCount));

    std::size_t index = 0;
    for (const auto& block : blocks) {
        const std::size_t typeEntry = typeDir + 16 + 8 * index;
        const std::size_t langDir = langDirs + 24 * index;
        const std::size_t dataEntry = dataEntries + 16 * index;
        Put32(out, typeEntry, block.first);
        Put32(out, typeEntry + 4, 0x80000000u | static_cast<std::uint32_t>(langDir));
        Put16(out, langDir + 14, 1);
        Put32(out, langDir + 16, language);
        Put32(out, langDir + 20, static_cast<std::uint32_t>(dataEntry));

        data = AlignUp(out.size(), 4);
        out.resize(data);
        for (const std::u16string* text : block.second) {
            const std::size_t length = text ? text->size() : 0;
            const std::size_t at = out.size();
            out.resize(at + 2 + 2 * length);
            Put16(out, at, static_cast<std::uint32_t>(length));
            for (std::size_t k = 0; k < length; ++k)
                Put16(out, at + 2 + 2 * k, (*text)[k]);
        }
        Put32(out, dataEntry, static_cast<std::uint32_t>(kSectionRva + data));
        Put32(out, dataEntry + 4, static_cast<std::uint32_t>(out.size() - data));
        if (index == 0) {
            image.firstDataEntry = sectionOffset + dataEntry;
            image.firstStringBlock = sectionOffset + data;
        }
        ++index;
    }
    image.typeDirectory = sectionOffset + typeDir;
    return out;
}

}  // namespace

std::u16string Utf8ToUtf16(const std::string& text)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        char32_t cp;
        std::size_t length;
        if (lead < 0x80) {
            cp = lead;
            length = 1;
        } else if (lead >= 0xF0) {
            cp = lead & 0x07;
            length = 4;
        } else if (lead >= 0xE0) {
            cp = lead & 0x0F;
            length = 3;
        } else {
            cp = lead & 0x1F;
            length = 2;
        }
        if (i + length > text.size())
            throw std::invalid_argument("truncated UTF-8");
        for (std::size_t k = 1; k < length; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += length;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

PeImage BuildStringModule(const std::map<unsigned, std::u16string>& strings, const PeOptions& options)
{
    PeImage image;
    const std::size_t optionalSize = options.pe64 ? 240 : 224;
    image.peHeader = 0x40;
    image.optionalHeader = image.peHeader + 24;
    image.sectionTable = image.optionalHeader + optionalSize;
    const std::size_t headersSize = AlignUp(image.sectionTable + 40, kFileAlignment);
    image.resourceSection = headersSize;

    std::vector<std::uint8_t> resources;
    if (options.withResources)
        resources = BuildResources(strings, options.language, image, headersSize);
    const std::size_t rawSize = AlignUp(resources.empty() ? 1 : resources.size(), kFileAlignment);

    std::vector<std::uint8_t>& b = image.bytes;
    b.assign(headersSize + rawSize, 0);
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, static_cast<std::uint32_t>(image.peHeader));
    b[image.peHeader] = 'P';
    b[image.peHeader + 1] = 'E';
    const std::size_t file = image.peHeader + 4;
    Put16(b, file, options.pe64 ? 0x8664 : 0x14C);
    Put16(b, file + 2, 1);
    Put16(b, file + 16, static_cast<std::uint32_t>(optionalSize));
    Put16(b, file + 18, options.pe64 ? 0x2022 : 0x2102);  // executable DLL

    const std::size_t opt = image.optionalHeader;
    Put16(b, opt, options.pe64 ? 0x20B : 0x10B);
    Put32(b, opt + 8, static_cast<std::uint32_t>(rawSize));  // initialized data
    if (!options.pe64)
        Put32(b, opt + 28, 0x10000000);  // image base
    else
        Put32(b, opt + 28, 0x1);  // high half of 0x180000000
    Put32(b, opt + 32, 0x1000);   // section alignment
    Put32(b, opt + 36, kFileAlignment);
    Put16(b, opt + 40, 4);  // OS version 4.0
    Put16(b, opt + 48, 4);  // subsystem version 4.0
    Put32(b, opt + 56, static_cast<std::uint32_t>(kSectionRva + AlignUp(rawSize, 0x1000)));
    Put32(b, opt + 60, static_cast<std::uint32_t>(headersSize));
    Put16(b, opt + 68, 2);  // GUI subsystem
    const std::size_t count = options.pe64 ? opt + 108 : opt + 92;
    Put32(b, count, 16);
    if (options.withResources) {
        Put32(b, count + 4 + 16, kSectionRva);
        Put32(b, count + 4 + 20, static_cast<std::uint32_t>(resources.size()));
    }

    const std::size_t s = image.sectionTable;
    const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    for (std::size_t k = 0; k < 8; ++k)
        b[s + k] = static_cast<std::uint8_t>(name[k]);
    Put32(b, s + 8, static_cast<std::uint32_t>(resources.size()));
    Put32(b, s + 12, kSectionRva);
    Put32(b, s + 16, static_cast<std::uint32_t>(rawSize));
    Put32(b, s + 20, static_cast<std::uint32_t>(headersSize));
    Put32(b, s + 36, 0x40000040u);  // initialized data, readable

    std::copy(resources.begin(), resources.end(), b.begin() + static_cast<std::ptrdiff_t>(headersSize));
    return image;
}

PeImage BuildStringModuleUtf8(const std::map<unsigned, std::string>& strings, const PeOptions& options)
{
    std::map<unsigned, std::u16string> wide;
    for (const auto& entry : strings)
        wide[entry.first] = Utf8ToUtf16(entry.second);
    return BuildStringModule(wide, options);
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

bool WriteStringModule(const std::string& path, const std::map<unsigned, std::string>& strings,
                       const PeOptions& options)
{
    return WriteBytes(path, BuildStringModuleUtf8(strings, options).bytes);
}

ScratchDirectory::ScratchDirectory()
{
    // Under the temporary directory ($TMPDIR on POSIX, GetTempPath on Windows).
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate = base / ("vantrel-pe-" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) {
            m_path = candidate.string();
            return;
        }
    }
    throw std::runtime_error("cannot create a scratch directory");
}

ScratchDirectory::~ScratchDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

}  // namespace petest
