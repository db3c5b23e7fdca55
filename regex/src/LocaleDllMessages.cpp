#include "LocaleDllMessages.h"

#include <algorithm>
#include <map>
#include <memory>

#include "LocaleDll.h"
#include "ResourceModule.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace RegexClass {
namespace detail {

namespace {

constexpr int kLargestCatalogue = 0x7FFFFFFE;

struct Catalogue {
    std::unique_ptr<ResourceModule> module;
    const LocaleDllMessages* owner;
    char spaceClassLetter;  // from string 143; 0 = none
};

// Syntax characters have ids 1 to 59 in the engine's catalogue.
constexpr int kSyntaxIdFirst = 1;
constexpr int kSyntaxIdEnd = 60;

// Modules opened on one thread, by catalogue number. Released with the thread.
struct CatalogueRegistry {
    std::map<int, Catalogue> catalogues;
};

#ifdef _WIN32
// MinGW's emulated thread storage frees a thread_local object before its
// destructor runs at the thread's end, so the registry hangs in a fibre-local
// slot instead: Windows calls its release at the thread's end, and for every
// thread when the library is unloaded and the slot freed.
void WINAPI ReleaseRegistry(void* pRegistry)
{
    delete static_cast<CatalogueRegistry*>(pRegistry);
}

DWORD g_registrySlot = FLS_OUT_OF_INDEXES;

struct RegistrySlotOwner {
    ~RegistrySlotOwner()
    {
        if (g_registrySlot != FLS_OUT_OF_INDEXES)
            FlsFree(g_registrySlot);
        g_registrySlot = FLS_OUT_OF_INDEXES;
    }
} g_registrySlotOwner;

// The calling thread's registry, made on first use when bCreate is set; null
// when there is none.
CatalogueRegistry* ThisThreadRegistry(bool bCreate)
{
    static const bool bAllocated = (g_registrySlot = FlsAlloc(&ReleaseRegistry)) != FLS_OUT_OF_INDEXES;
    if (!bAllocated || g_registrySlot == FLS_OUT_OF_INDEXES)
        return nullptr;
    auto* pRegistry = static_cast<CatalogueRegistry*>(FlsGetValue(g_registrySlot));
    if (!pRegistry && bCreate) {
        pRegistry = new CatalogueRegistry;
        if (!FlsSetValue(g_registrySlot, pRegistry)) {
            delete pRegistry;
            pRegistry = nullptr;
        }
    }
    return pRegistry;
}
#else
// Set once this thread's registry has been destroyed (at thread exit), so a
// facet released later in that exit does not touch it.
thread_local bool t_registryGone = false;

struct ThreadRegistry {
    CatalogueRegistry registry;
    ~ThreadRegistry() { t_registryGone = true; }
};

CatalogueRegistry* ThisThreadRegistry(bool)
{
    if (t_registryGone)
        return nullptr;
    thread_local ThreadRegistry record;
    return &record.registry;
}
#endif

}  // namespace

LocaleDllMessages::LocaleDllMessages(std::size_t refs) : std::messages<char>(refs)
{
}

// The engine's traits open a catalogue for their error texts and never close
// it; it stays registered until its facet goes.
LocaleDllMessages::~LocaleDllMessages()
{
    CatalogueRegistry* pRegistry = ThisThreadRegistry(false);
    if (!pRegistry)
        return;
    auto& catalogues = pRegistry->catalogues;
    for (auto it = catalogues.begin(); it != catalogues.end();) {
        if (it->second.owner == this)
            it = catalogues.erase(it);
        else
            ++it;
    }
}

std::size_t LocaleDllMessages::OpenCatalogueCount()
{
    const CatalogueRegistry* pRegistry = ThisThreadRegistry(false);
    return pRegistry ? pRegistry->catalogues.size() : 0;
}

LocaleDllMessages::catalog LocaleDllMessages::do_open(const std::string& name, const std::locale&) const
{
    try {
        std::unique_ptr<ResourceModule> module = ResourceModule::Load(name);
        if (!module)
            return -1;
        CatalogueRegistry* pRegistry = ThisThreadRegistry(true);
        if (!pRegistry)
            return -1;
        auto& registry = pRegistry->catalogues;
        // Smallest number not in use: the first gap in the ordered keys.
        int number = 0;
        for (const auto& entry : registry) {
            if (entry.first != number)
                break;
            if (number == kLargestCatalogue)
                return -1;
            ++number;
        }
        std::string spaceText;
        const char letter = module->ReadString(kSpaceClassStringId, spaceText) ? SpaceClassLetterOf(spaceText) : 0;
        registry.emplace(number, Catalogue{std::move(module), this, letter});
        return number;
    } catch (...) {
        return -1;
    }
}

std::string LocaleDllMessages::do_get(catalog cat, int, int messageId, const std::string& dfault) const
{
    const CatalogueRegistry* pRegistry = ThisThreadRegistry(false);
    if (!pRegistry)
        return dfault;
    const auto& registry = pRegistry->catalogues;
    const auto found = registry.find(cat);
    if (found == registry.end() || messageId < 0)
        return dfault;
    const Catalogue& catalogue = found->second;
    std::string text;
    if (catalogue.module->ReadString(static_cast<unsigned>(messageId), text))
        return text;
    const char letter = catalogue.spaceClassLetter;
    if (letter != 0 && messageId >= kSyntaxIdFirst && messageId < kSyntaxIdEnd) {
        // The space-class letter is the module's; the engine's default role
        // for it (such as \e for escape) gives way.
        text = dfault;
        text.erase(std::remove(text.begin(), text.end(), letter), text.end());
        return text;
    }
    if (letter != 0 && messageId == static_cast<int>(kSpaceClassNameStringId))
        return std::string(1, letter);
    return dfault;
}

void LocaleDllMessages::do_close(catalog cat) const
{
    if (CatalogueRegistry* pRegistry = ThisThreadRegistry(false))
        pRegistry->catalogues.erase(cat);
}

}  // namespace detail
}  // namespace RegexClass
