#pragma once
// The Crawl command's treatment of a typed start address, shared by the window and
// the headless front end.

#include <string>

#include "LinkSource.h"

namespace plovik {

// Classic: lower case (ASCII); "/" appended unless the last "/" is the last
// character; an empty text stays empty. Standard: the normal form of an http or
// https address (UrlNormalise.h); any other text stays as typed.
std::string NormaliseStartAddress(const std::string& sTyped, LinkRules rules = LinkRules::Classic);

enum class StartAddressCheck { Accepted, Refused, Invalid };

// Refused: contains "corvane" (in any case). Invalid: does not parse as an http
// address (classic) or an http or https address (standard).
StartAddressCheck CheckStartAddress(const std::string& sNormalised, LinkRules rules = LinkRules::Classic);

extern const char* const kRefusedAddressText;  // "This website cannot be scanned."
std::string InvalidAddressText();              // "Invalid URL. Enter something like \"...\" (without the quotes)"

// What the Crawl command tells the user about a check's result: one of the two texts
// above, or empty for an accepted address.
std::string StartAddressMessage(StartAddressCheck check);

}  // namespace plovik
