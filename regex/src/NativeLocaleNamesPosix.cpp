#include "NativeLocaleNames.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

namespace RegexClass {
namespace detail {

namespace {

// Length of the UTF-8 sequence starting at text[i], or 1 when it is not valid.
std::size_t SequenceLength(const std::string& text, std::size_t i)
{
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    std::size_t length;
    if (lead < 0x80)
        return 1;
    else if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    else
        return 1;
    if (text.size() - i < length)
        return 1;
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return 1;
    }
    return length;
}

const char* EnvironmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return (value && *value) ? value : nullptr;
}

bool IsUtf8Codeset(const char* codeset)
{
    return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

// Converts text in the locale's own character set to UTF-8; empty on failure.
std::string ToUtf8(const char* text, const char* codeset)
{
    if (!text || !*text)
        return std::string();
    if (IsUtf8Codeset(codeset) || !codeset || !*codeset)
        return text;
    iconv_t cd = iconv_open("UTF-8", codeset);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string();
    std::string out;
    char buffer[256];
    char* in = const_cast<char*>(text);
    std::size_t inLeft = std::strlen(text);
    bool ok = true;
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    return ok ? out : std::string();
}

}  // namespace

std::string FirstCharacters(const std::string& utf8, std::size_t count)
{
    std::size_t i = 0;
    for (std::size_t chars = 0; chars < count && i < utf8.size(); ++chars)
        i += SequenceLength(utf8, i);
    return utf8.substr(0, i);
}

std::size_t CharacterCount(const std::string& utf8)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < utf8.size(); ++chars)
        i += SequenceLength(utf8, i);
    return chars;
}

NativeLocaleNames UserNativeLocaleNames()
{
    NativeLocaleNames names;
    const char* name = EnvironmentValue("LC_ALL");
    if (!name)
        name = EnvironmentValue("LC_ADDRESS");
    if (!name)
        name = EnvironmentValue("LANG");
    if (!name)
        return names;
    // LC_CTYPE tells the character set the names are written in.
    locale_t locale = newlocale(LC_ADDRESS_MASK | LC_CTYPE_MASK, name, static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0))
        return names;
    const char* codeset = nl_langinfo_l(CODESET, locale);
    names.language = ToUtf8(nl_langinfo_l(_NL_ADDRESS_LANG_NAME, locale), codeset);
    names.country = ToUtf8(nl_langinfo_l(_NL_ADDRESS_COUNTRY_NAME, locale), codeset);
    freelocale(locale);
    return names;
}

}  // namespace detail
}  // namespace RegexClass
