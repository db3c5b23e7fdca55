#include "PeModule.h"

#include "FileSystem.h"

namespace RegexClass {
namespace detail {

namespace {

constexpr std::uint32_t kRtString = 6;
constexpr std::uint32_t kSubdirectoryBit = 0x80000000u;
constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;
constexpr std::size_t kSectionHeaderSize = 40;

// Little-endian reads; callers have checked the range against the buffer's
// size, so a 64-bit offset into it fits a size_t in a 32-bit process too.
std::uint16_t U16(const std::vector<std::uint8_t>& b, std::uint64_t offset)
{
    const auto at = static_cast<std::size_t>(offset);
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::uint64_t offset)
{
    const auto at = static_cast<std::size_t>(offset);
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
        (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// True when [offset, offset + length) lies inside a buffer of `size` bytes.
bool Fits(std::uint64_t offset, std::uint64_t length, std::uint64_t size)
{
    return offset <= size && length <= size - offset;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string Utf16ToUtf8(const char16_t* text, std::size_t length, std::size_t maxChars)
{
    std::string out;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < length && chars < maxChars; ++chars) {
        char32_t unit = text[i++];
        if (unit >= 0xD800 && unit <= 0xDBFF && i < length && text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (text[i++] - 0xDC00);
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            unit = 0xFFFD;
        }
        AppendUtf8(out, unit);
    }
    return out;
}

PeModule::PeModule(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes))
{
}

std::unique_ptr<PeModule> PeModule::Load(const std::string& fileName)
{
    if (fileName.empty() || fileName.find('\0') != std::string::npos)
        return nullptr;
    // A FIFO given as a name cannot hang the caller: it is opened without
    // waiting and then refused.
    os::File file;
    os::FileStatus status;
    if (os::OpenForReading(fileName, file) != 0 || os::GetStatus(file, status) != 0 ||
        status.type != os::FileType::Regular || status.size > kMaxFileSize)
        return nullptr;

    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(status.size));
    std::size_t got = 0;
    // A read error keeps what arrived before it, which validation then judges.
    os::ReadFully(file, reinterpret_cast<char*>(bytes.data()), bytes.size(), got);
    bytes.resize(got);
    return FromBytes(std::move(bytes));
}

std::unique_ptr<PeModule> PeModule::FromBytes(std::vector<std::uint8_t> bytes)
{
    if (bytes.size() > kMaxFileSize)
        return nullptr;
    std::unique_ptr<PeModule> module(new PeModule(std::move(bytes)));
    if (!module->Validate())
        return nullptr;
    return module;
}

bool PeModule::Validate()
{
    const std::uint64_t size = m_bytes.size();
    if (size < 0x40 || m_bytes[0] != 'M' || m_bytes[1] != 'Z')
        return false;
    const std::uint64_t peHeader = U32(m_bytes, 0x3C);
    if (!Fits(peHeader, 24, size))
        return false;
    const auto pe = static_cast<std::size_t>(peHeader);
    if (m_bytes[pe] != 'P' || m_bytes[pe + 1] != 'E' || m_bytes[pe + 2] != 0 || m_bytes[pe + 3] != 0)
        return false;
    const std::uint32_t sectionCount = U16(m_bytes, peHeader + 6);
    const std::uint32_t optionalSize = U16(m_bytes, peHeader + 20);
    const std::uint64_t optional = peHeader + 24;
    if (optionalSize < 2 || !Fits(optional, optionalSize, size))
        return false;

    std::uint64_t countField;
    switch (U16(m_bytes, optional)) {
    case 0x10B:
        countField = 92;
        break;  // PE32
    case 0x20B:
        countField = 108;
        break;  // PE32+
    default:
        return false;
    }
    if (optionalSize < countField + 4)
        return false;
    const std::uint32_t directoryCount = U32(m_bytes, optional + countField);
    const std::uint64_t directories = optional + countField + 4;
    std::uint32_t resourceRva = 0;
    std::uint32_t resourceSize = 0;
    // The resource directory is data directory 2.
    if (directoryCount > 2 && directories + 3 * 8 <= optional + optionalSize) {
        resourceRva = U32(m_bytes, directories + 16);
        resourceSize = U32(m_bytes, directories + 20);
    }

    const std::uint64_t sectionTable = optional + optionalSize;
    if (!Fits(sectionTable, std::uint64_t(sectionCount) * kSectionHeaderSize, size))
        return false;
    m_sections.clear();
    m_sections.reserve(sectionCount);
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
        const std::uint64_t at = sectionTable + std::uint64_t(i) * kSectionHeaderSize;
        Section s{U32(m_bytes, at + 12), U32(m_bytes, at + 16), U32(m_bytes, at + 20)};
        // The loader refuses an image whose section data lies past the end of the file.
        if (s.rawSize != 0 && !Fits(s.rawOffset, s.rawSize, size))
            return false;
        m_sections.push_back(s);
    }

    m_resourceOffset = 0;
    m_resourceSize = 0;
    if (resourceRva == 0 || resourceSize == 0)
        return true;  // a module without resources loads; it has no strings
    for (const Section& s : m_sections) {
        if (resourceRva >= s.virtualAddress && resourceRva - s.virtualAddress < s.rawSize) {
            const std::uint32_t delta = resourceRva - s.virtualAddress;
            m_resourceOffset = std::size_t(s.rawOffset) + delta;
            m_resourceSize = s.rawSize - delta;
            return true;
        }
    }
    return false;
}

bool PeModule::RvaToOffset(std::uint32_t rva, std::uint32_t size, std::size_t& offset) const
{
    for (const Section& s : m_sections) {
        if (rva >= s.virtualAddress && Fits(rva - s.virtualAddress, size, s.rawSize)) {
            offset = std::size_t(s.rawOffset) + (rva - s.virtualAddress);
            return true;
        }
    }
    return false;
}

bool PeModule::FindEntry(std::size_t dirOffset, std::uint32_t id, bool pickFirst, std::uint32_t& entryValue) const
{
    if (!Fits(dirOffset, kDirectoryHeaderSize, m_resourceSize))
        return false;
    const std::size_t header = m_resourceOffset + dirOffset;
    const std::uint32_t named = U16(m_bytes, header + 12);
    const std::uint32_t numbered = U16(m_bytes, header + 14);
    const std::uint64_t first = std::uint64_t(dirOffset) + kDirectoryHeaderSize;
    bool found = false;
    for (std::uint32_t i = 0; i < named + numbered; ++i) {
        const std::uint64_t entry = first + std::uint64_t(i) * kDirectoryEntrySize;
        if (!Fits(entry, kDirectoryEntrySize, m_resourceSize))
            return found;
        const std::size_t at = m_resourceOffset + std::size_t(entry);
        const std::uint32_t name = U32(m_bytes, at);
        const std::uint32_t value = U32(m_bytes, at + 4);
        if (pickFirst) {
            // Languages: the neutral one wins, otherwise the first listed.
            if (!found || (name == 0)) {
                entryValue = value;
                found = true;
                if (name == 0)
                    return true;
            }
        } else if (name == id) {
            entryValue = value;
            return true;
        }
    }
    return found;
}

bool PeModule::ReadString(unsigned id, std::string& text, std::size_t maxChars) const
{
    text.clear();
    if (m_resourceSize == 0 || id > 0xFFFFu)
        return false;
    const std::uint32_t block = id / 16 + 1;
    std::uint32_t typeDir, blockDir, dataEntry;
    if (!FindEntry(0, kRtString, false, typeDir) || !(typeDir & kSubdirectoryBit))
        return false;
    if (!FindEntry(typeDir & ~kSubdirectoryBit, block, false, blockDir) || !(blockDir & kSubdirectoryBit))
        return false;
    if (!FindEntry(blockDir & ~kSubdirectoryBit, 0, true, dataEntry) || (dataEntry & kSubdirectoryBit))
        return false;
    if (!Fits(dataEntry, kDataEntrySize, m_resourceSize))
        return false;
    const std::size_t entryAt = m_resourceOffset + dataEntry;
    const std::uint32_t dataRva = U32(m_bytes, entryAt);
    const std::uint32_t dataSize = U32(m_bytes, entryAt + 4);
    std::size_t data;
    if (!RvaToOffset(dataRva, dataSize, data))
        return false;

    // Sixteen strings, each a 16-bit length followed by that many UTF-16 units.
    std::uint64_t pos = 0;
    for (unsigned index = 0;; ++index) {
        if (!Fits(pos, 2, dataSize))
            return false;
        const std::uint32_t length = U16(m_bytes, data + pos);
        pos += 2;
        if (!Fits(pos, std::uint64_t(length) * 2, dataSize))
            return false;
        if (index == id % 16) {
            if (length == 0)
                return false;
            std::u16string units(length, u'\0');
            for (std::uint32_t k = 0; k < length; ++k)
                units[k] = static_cast<char16_t>(U16(m_bytes, data + pos + 2 * k));
            text = Utf16ToUtf8(units.data(), units.size(), maxChars);
            return !text.empty();
        }
        pos += std::uint64_t(length) * 2;
    }
}

}  // namespace detail
}  // namespace RegexClass
