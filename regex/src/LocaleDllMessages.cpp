#include "LocaleDllMessages.h"

#include <map>
#include <memory>

#include "PeModule.h"

namespace RegexClass {
namespace detail {

namespace {

constexpr int kLargestCatalogue = 0x7FFFFFFE;

// Modules opened on one thread, by catalogue number. Released with the thread.
using CatalogueRegistry = std::map<int, std::unique_ptr<PeModule>>;

CatalogueRegistry& ThisThreadRegistry()
{
    thread_local CatalogueRegistry registry;
    return registry;
}

} // namespace

LocaleDllMessages::LocaleDllMessages(std::size_t refs) : std::messages<char>(refs) {}

std::size_t LocaleDllMessages::OpenCatalogueCount()
{
    return ThisThreadRegistry().size();
}

LocaleDllMessages::catalog LocaleDllMessages::do_open(const std::string& name,
                                                      const std::locale&) const
{
    try {
        std::unique_ptr<PeModule> module = PeModule::Load(name);
        if (!module)
            return -1;
        CatalogueRegistry& registry = ThisThreadRegistry();
        // Smallest number not in use: the first gap in the ordered keys.
        int number = 0;
        for (const auto& entry : registry) {
            if (entry.first != number)
                break;
            if (number == kLargestCatalogue)
                return -1;
            ++number;
        }
        registry.emplace(number, std::move(module));
        return number;
    } catch (...) {
        return -1;
    }
}

std::string LocaleDllMessages::do_get(catalog cat, int, int id, const std::string& dfault) const
{
    const CatalogueRegistry& registry = ThisThreadRegistry();
    const auto found = registry.find(cat);
    std::string text;
    if (found == registry.end() || id < 0 ||
        !found->second->ReadString(static_cast<unsigned>(id), text))
        return dfault;
    return text;
}

void LocaleDllMessages::do_close(catalog cat) const
{
    ThisThreadRegistry().erase(cat);
}

} // namespace detail
} // namespace RegexClass
