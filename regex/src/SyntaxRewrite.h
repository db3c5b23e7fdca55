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

#include <cstdint>
#include <string>

namespace RegexClass {
namespace detail {

std::string ToEngineSyntax(const std::string& expression, std::uint32_t classic, EngineGroup group);

}  // namespace detail
}  // namespace RegexClass
