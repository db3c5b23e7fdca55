#pragma once

// A locale DLL opened only to read its string resources; no code of it runs.
// On Windows the system loads it as a data file; elsewhere the project's own
// PE reader parses it.

#include <memory>
#include <string>

namespace RegexClass {
namespace detail {

class ResourceModule {
public:
    // A string resource is read into a buffer of this many characters.
    static constexpr unsigned kStringBufferChars = 255;

    // Null when the file does not load as a module.
    static std::unique_ptr<ResourceModule> Load(const std::string& fileName);
    ~ResourceModule();
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    // String resource `id` in the platform's narrow encoding (UTF-8, or the
    // ANSI code page on Windows), at most kStringBufferChars characters.
    // False when the module has no such string or it is empty.
    bool ReadString(unsigned id, std::string& text) const;

private:
    struct Handle;
    explicit ResourceModule(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> m_handle;
};

}  // namespace detail
}  // namespace RegexClass
