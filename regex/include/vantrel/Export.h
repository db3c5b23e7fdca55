#pragma once

// The library is built with hidden visibility; only what carries this mark is exported.
#if defined(_WIN32)
#ifdef VANTREL_BUILDING
#define VANTREL_API __declspec(dllexport)
#else
#define VANTREL_API __declspec(dllimport)
#endif
#else
#define VANTREL_API __attribute__((visibility("default")))
#endif
