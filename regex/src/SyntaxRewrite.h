#pragma once

// Carries an expression written in the classic syntax of an option set over
// to the syntax of the engine group it compiles in (EngineFlags.h).
//
// 1.81's syntax groups ignore several classic options: the Perl group has no
// limited operators, backslashed operators, optional intervals or character
// classes, and no group reads a backslash in a set literally. The rewrite
// spells each operator and each literal the way the group reads it, so that
// every option keeps its meaning in every family. An expression that needs
// nothing is returned unchanged.

#include "EngineFlags.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace RegexClass {
namespace detail {

// The expression as the engine group reads it.
struct EngineExpression {
    std::string text;
    // For each character of `text`, its offset in the caller's text; empty
    // when `text` is the caller's text unchanged.
    std::vector<std::size_t> origins;
    std::size_t sourceLength = 0;

    std::size_t OriginOf(std::size_t offset) const
    {
        if (origins.empty())
            return offset;
        return offset < origins.size() ? origins[offset] : sourceLength;
    }
};

EngineExpression ToEngineSyntax(const std::string& expression, std::uint32_t classic, EngineGroup group);

// The engine's message for an error at `position` of the engine's text, with
// the text it quotes replaced by the caller's own around the same place.
std::string QuoteCallersText(std::string message, const std::string& expression, const EngineExpression& engine,
                             std::ptrdiff_t position);

}  // namespace detail
}  // namespace RegexClass
