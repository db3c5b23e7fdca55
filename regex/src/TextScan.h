#pragma once

// Finds the occurrences of a set of literals in one subject, leftmost first,
// comparing bytes after the engine's translation (RequiredText.h).

#include "RequiredText.h"

#include <string>
#include <vector>

namespace RegexClass {
namespace detail {

class TextScan {
public:
    TextScan(std::vector<std::string> literals, const ByteTranslation& translation);

    bool Empty() const { return m_literals.empty(); }
    // Starts on a new subject that ends at `last`.
    void Reset(const char* last);
    // The start of the leftmost occurrence of any literal at or after `from`,
    // or null. Calls must not go back: `from` never decreases.
    const char* Next(const char* from);

private:
    const char* Find(const std::string& literal, const char* from) const;

    std::vector<std::string> m_literals;
    ByteTranslation m_translation;
    bool m_identity = true;  // translation changes no byte: memchr and memmem apply
    const char* m_last = nullptr;
    // Per literal: where its last search started and what it found (null: none from there on).
    std::vector<const char*> m_searchedFrom;
    std::vector<const char*> m_found;
};

}  // namespace detail
}  // namespace RegexClass
