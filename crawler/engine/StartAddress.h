#pragma once
// The Crawl command's treatment of a typed start address, shared by the window and
// the headless front end.

#include <string>

namespace plovik {

// Lower case (ASCII); "/" appended unless the last "/" is the last character; an
// empty text stays empty.
std::string NormaliseStartAddress(const std::string& sTyped);

enum class StartAddressCheck { Accepted, Refused, Invalid };

// Refused: contains "corvane". Invalid: does not parse as an http address.
StartAddressCheck CheckStartAddress(const std::string& sNormalised);

extern const char* const kRefusedAddressText;   // "This website cannot be scanned."
std::string InvalidAddressText();               // "Invalid URL. Enter something like \"...\" (without the quotes)"

}  // namespace plovik
