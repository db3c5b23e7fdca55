#pragma once

// The library is built with hidden visibility; only what carries these marks is exported.
#if defined(_WIN32)
#  ifdef VANTREL_BUILDING
#    define VANTREL_API __declspec(dllexport)
#  else
#    define VANTREL_API __declspec(dllimport)
#  endif
#  define VANTREL_TESTABLE
#else
#  define VANTREL_API __attribute__((visibility("default")))
// Internals that the library's own tests reach directly.
#  define VANTREL_TESTABLE __attribute__((visibility("default")))
#endif
