#include "ResourceModule.h"

#include "PeModule.h"

namespace RegexClass {
namespace detail {

struct ResourceModule::Handle {
    std::unique_ptr<PeModule> module;
};

std::unique_ptr<ResourceModule> ResourceModule::Load(const std::string& fileName)
{
    std::unique_ptr<PeModule> module = PeModule::Load(fileName);
    if (!module)
        return nullptr;
    return std::unique_ptr<ResourceModule>(new ResourceModule(std::unique_ptr<Handle>(new Handle{std::move(module)})));
}

ResourceModule::ResourceModule(std::unique_ptr<Handle> handle) : m_handle(std::move(handle))
{
}

ResourceModule::~ResourceModule() = default;

bool ResourceModule::ReadString(unsigned id, std::string& text) const
{
    return m_handle->module->ReadString(id, text, kStringBufferChars);
}

}  // namespace detail
}  // namespace RegexClass
