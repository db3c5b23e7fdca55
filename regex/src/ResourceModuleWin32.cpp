#include "ResourceModule.h"

#include <windows.h>

namespace RegexClass {
namespace detail {

struct ResourceModule::Handle {
    HMODULE module;
};

std::unique_ptr<ResourceModule> ResourceModule::Load(const std::string& fileName)
{
    // As a data file: the module's entry point and imports are never touched.
    HMODULE module = LoadLibraryExA(fileName.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return nullptr;
    return std::unique_ptr<ResourceModule>(new ResourceModule(std::unique_ptr<Handle>(new Handle{module})));
}

ResourceModule::ResourceModule(std::unique_ptr<Handle> handle) : m_handle(std::move(handle))
{
}

ResourceModule::~ResourceModule()
{
    FreeLibrary(m_handle->module);
}

bool ResourceModule::ReadString(unsigned id, std::string& text) const
{
    // One more than the characters taken, for the terminating zero.
    char buffer[kStringBufferChars + 1];
    const int length = LoadStringA(m_handle->module, id, buffer, sizeof buffer);
    if (length <= 0)
        return false;
    text.assign(buffer, static_cast<std::size_t>(length));
    return true;
}

}  // namespace detail
}  // namespace RegexClass
