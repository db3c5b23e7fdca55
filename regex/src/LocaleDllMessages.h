#pragma once

// A std::messages facet whose catalogues are locale DLLs: the std::locale
// based traits read syntax characters and error texts through it.

#include <cstddef>
#include <locale>
#include <string>

namespace RegexClass {
namespace detail {

class LocaleDllMessages : public std::messages<char> {
public:
    explicit LocaleDllMessages(std::size_t refs = 0);
    // Closes what this facet opened on the destroying thread and left open.
    ~LocaleDllMessages() override;

    // Number of catalogues open on the calling thread.
    static std::size_t OpenCatalogueCount();

protected:
    // Loads the module `name` and registers it on this thread under the
    // smallest free number; -1 when it does not load. Never throws.
    catalog do_open(const std::string& name, const std::locale& locale) const override;
    // String `id` of the catalogue's module (set ignored), else `dfault`.
    std::string do_get(catalog cat, int set, int messageId, const std::string& dfault) const override;
    void do_close(catalog cat) const override;
};

}  // namespace detail
}  // namespace RegexClass
