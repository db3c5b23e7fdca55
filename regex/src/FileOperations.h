#pragma once

// Internals of FindFiles, GrepFiles and ChangeFiles that the library's tests
// reach: the per-thread stack of objects whose file operation runs, and,
// from FileRewrite.h, the backup-name rules and the fault hook that makes
// one step of rewriting a file fail.

#include "FileRewrite.h"

#include <cstddef>

namespace RegexClass {
namespace detail {

// Number of objects on the calling thread's active-object stack.
std::size_t ActiveObjectDepth();

#include "FileRewrite.h"

}  // namespace detail
}  // namespace RegexClass
