#include "NativeLocaleNames.h"

#include <windows.h>

namespace RegexClass {
namespace detail {

namespace {

// Text is in the ANSI code page here: a lead byte and its trail byte are one
// character.
std::size_t SequenceLength(const std::string& text, std::size_t i)
{
    const bool lead = IsDBCSLeadByte(static_cast<BYTE>(text[i])) != 0;
    return lead && i + 1 < text.size() ? 2 : 1;
}

std::string UserLocaleInfo(LCTYPE type)
{
    char buffer[256];
    const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
    return length > 1 ? std::string(buffer, static_cast<std::size_t>(length - 1)) : std::string();
}

}  // namespace

std::string FirstCharacters(const std::string& text, std::size_t count)
{
    std::size_t i = 0;
    for (std::size_t chars = 0; chars < count && i < text.size(); ++chars)
        i += SequenceLength(text, i);
    return text.substr(0, i);
}

std::size_t CharacterCount(const std::string& text)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++chars)
        i += SequenceLength(text, i);
    return chars;
}

NativeLocaleNames UserNativeLocaleNames()
{
    return NativeLocaleNames{UserLocaleInfo(LOCALE_SNATIVELANGNAME), UserLocaleInfo(LOCALE_SNATIVECTRYNAME)};
}

}  // namespace detail
}  // namespace RegexClass
