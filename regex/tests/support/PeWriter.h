#pragma once

// Builds minimal Windows resource modules (PE images holding string tables)
// for tests, so that no binary fixture is needed.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace petest {

struct PeOptions {
    bool pe64 = false;          // PE32+ optional header instead of PE32
    bool withResources = true;  // false: no resource directory at all
    std::uint16_t language = 0x0409;
};

// A built image and where its parts are, for tests that damage it.
struct PeImage {
    std::vector<std::uint8_t> bytes;
    std::size_t peHeader = 0;  // "PE\0\0"
    std::size_t optionalHeader = 0;
    std::size_t sectionTable = 0;
    std::size_t resourceSection = 0;   // file offset of the resource directory
    std::size_t typeDirectory = 0;     // file offset of the RT_STRING directory
    std::size_t firstDataEntry = 0;    // file offset of the first data entry
    std::size_t firstStringBlock = 0;  // file offset of the first string table
};

// Strings by resource id, as UTF-16.
PeImage BuildStringModule(const std::map<unsigned, std::u16string>& strings, const PeOptions& options = PeOptions());

// UTF-8 convenience form.
PeImage BuildStringModuleUtf8(const std::map<unsigned, std::string>& strings, const PeOptions& options = PeOptions());

std::u16string Utf8ToUtf16(const std::string& text);

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Writes a module with the given UTF-8 strings; false on an I/O failure.
bool WriteStringModule(const std::string& path, const std::map<unsigned, std::string>& strings,
                       const PeOptions& options = PeOptions());

// A fresh directory under the temporary directory, removed with its files.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

}  // namespace petest
