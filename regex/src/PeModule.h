#pragma once

// Read-only access to the string resources of a Windows resource module
// (a PE image, 32- or 64-bit). The file is parsed, never executed: every
// offset taken from it is checked against the bytes actually read.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace RegexClass {
namespace detail {

class PeModule {
public:
    // Larger files are refused; resource modules are a few kilobytes.
    static constexpr std::size_t kMaxFileSize = 64u * 1024u * 1024u;
    // A string resource is read into a buffer of this many characters.
    static constexpr std::size_t kStringBufferChars = 255;

    // Reads and validates the file; null when it is not a loadable module.
    static std::unique_ptr<PeModule> Load(const std::string& fileName);
    // Same, from bytes already in memory.
    static std::unique_ptr<PeModule> FromBytes(std::vector<std::uint8_t> bytes);

    // String resource `id` as UTF-8, at most `maxChars` characters. False
    // when the module has no such string or it is empty.
    bool ReadString(unsigned id, std::string& text, std::size_t maxChars = kStringBufferChars) const;

private:
    explicit PeModule(std::vector<std::uint8_t> bytes);
    bool Validate();
    bool RvaToOffset(std::uint32_t rva, std::uint32_t size, std::size_t& offset) const;
    bool FindEntry(std::size_t dirOffset, std::uint32_t id, bool pickFirst, std::uint32_t& entryValue) const;

    struct Section {
        std::uint32_t virtualAddress;
        std::uint32_t rawSize;
        std::uint32_t rawOffset;
    };

    std::vector<std::uint8_t> m_bytes;
    std::vector<Section> m_sections;
    // File offset and size of the resource directory; size 0 = no resources.
    std::size_t m_resourceOffset = 0;
    std::size_t m_resourceSize = 0;
};

// UTF-16 to UTF-8, at most `maxChars` code points (a surrogate pair counts
// once; an unpaired surrogate becomes U+FFFD).
std::string Utf16ToUtf8(const char16_t* text, std::size_t length, std::size_t maxChars);

}  // namespace detail
}  // namespace RegexClass
