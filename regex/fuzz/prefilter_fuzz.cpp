// libFuzzer target for the file-search layer's prefilter.
//
// Input: the expression up to the first zero byte, one option byte, then the
// subject. The layer's grep (which passes over files or lines that lack the
// text every match requires) must report exactly the matches of the engine's
// own grep over the whole subject: the same count, and for each match the
// same position of every sub-expression. Where either side reaches the
// engine's complexity or stack limit, the two are not compared.
//
// Option byte: bit 0 ignore case; bits 1-3 match flags; bits 4-5 traits.

#include "FileSearch.h"
#include "RegularExpressionImpl.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using RegexClass::detail::FileMatch;
using RegexClass::detail::FileSearch;
using RegexClass::detail::SearchAnswer;
using RegexClass::detail::SearchTraits;
namespace rc = boost::regex_constants;

using Match = std::vector<std::uint32_t>;  // position of each entry

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

rc::match_flag_type FlagsOf(unsigned bits)
{
    static const rc::match_flag_type kFlags[] = {
        rc::match_default, rc::match_not_bol,     rc::match_not_eol,         rc::match_not_bow,
        rc::match_not_eow, rc::match_single_line, rc::match_not_dot_newline, rc::match_any | rc::match_not_null,
    };
    return kFlags[bits & 7];
}

// The engine's grep over the whole subject; false when it gave up.
template <class Regex>
bool Reference(const std::string& expression, bool icase, const char* first, const char* last,
               rc::match_flag_type flags, std::vector<Match>& matches)
{
    try {
        Regex re(expression, icase ? rc::perl | rc::icase : rc::perl);
        boost::regex_grep(
            [&](const boost::match_results<const char*>& m) {
                Match match;
                for (int i = 0; i < static_cast<int>(m.size()); ++i)
                    match.push_back(m[i].matched ? static_cast<std::uint32_t>(m[i].first - first) : 0xFFFFFFFFu);
                matches.push_back(match);
                return true;
            },
            first, last, re, flags);
        return true;
    } catch (const std::runtime_error&) {
        return false;  // rejected, or the engine's limits
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);
    const void* zero = std::memchr(text, 0, size);
    if (!zero || static_cast<const char*>(zero) + 1 >= text + size)
        return 0;
    const std::string expression(text, static_cast<const char*>(zero));
    const unsigned options = static_cast<unsigned char>(*(static_cast<const char*>(zero) + 1));
    const std::string subject(static_cast<const char*>(zero) + 2, text + size);
    const char* first = subject.data();
    const char* last = first + subject.size();
    const bool icase = (options & 1) != 0;
    const rc::match_flag_type flags = FlagsOf(options >> 1);

    static const SearchTraits kTraits[] = {SearchTraits::Cpp, SearchTraits::C, SearchTraits::Win32, SearchTraits::Cpp};
    const SearchTraits traits = kTraits[(options >> 4) & 3];

    FileSearch search;
    search.SetTraits(traits);
    if (!search.SetExpression(expression, icase))
        return 0;
    std::vector<Match> found;
    search.GrepBytes("subject", first, last, flags, [&](const std::string&, const FileMatch& m) {
        Match match;
        for (std::size_t i = 0; i < m.Marks(); ++i) {
            match.push_back(m.Position(i));
            // The text is the bytes at the position.
            if (m.Position(i) != 0xFFFFFFFFu)
                Check(subject.compare(m.Position(i), m.Text(i).size(), m.Text(i)) == 0);
        }
        found.push_back(match);
        return SearchAnswer::Continue;
    });
    if (!search.Problems().empty())
        return 0;

    std::vector<Match> expected;
    bool complete = false;
    switch (traits) {
    case SearchTraits::C:
        complete = Reference<RegexClass::CRegex>(expression, icase, first, last, flags, expected);
        break;
    case SearchTraits::Win32:
        complete = Reference<RegexClass::Win32Regex>(expression, icase, first, last, flags, expected);
        break;
    default:
        complete = Reference<RegexClass::CppRegex>(expression, icase, first, last, flags, expected);
        break;
    }
    if (complete)
        Check(found == expected);
    return 0;
}
