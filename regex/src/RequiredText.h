#pragma once

// The text that every match of an expression must contain, worked out from
// the expression itself, so that a search can pass over bytes that hold none
// of it without running the engine there.
//
// The reasoning is deliberately narrow: it reads the engine's default
// (normal) syntax only, and gives up - requires nothing - on every construct
// it does not model exactly (option groups, \x and \p escapes, collating
// elements, conditionals, ...). Requiring nothing is always correct.

#include <boost/regex.hpp>

#include <array>
#include <string>
#include <vector>

namespace RegexClass {
namespace detail {

// How the engine reads a subject byte before comparing it with a literal
// character of the expression: its translate(), case-folding when case is
// ignored. Index: the byte as unsigned char.
using ByteTranslation = std::array<unsigned char, 256>;

struct RequiredText {
    // Every match holds at least one of these, compared byte by byte after
    // translation. Empty: nothing known is required.
    std::vector<std::string> literals;
    // No part of the expression can match a newline, and no assertion
    // depends on the text beyond the next newline: a match lies within one
    // line, and a line holding none of the literals holds no match.
    bool withinLine = false;
};

// `syntax`: the flags the expression is compiled with; anything beyond the
// default syntax, case-insensitivity and the flags that do not change what
// matches makes the result empty.
RequiredText FindRequiredText(const std::string& expression, boost::regex_constants::syntax_option_type syntax,
                              const ByteTranslation& translation);

}  // namespace detail
}  // namespace RegexClass
