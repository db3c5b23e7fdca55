// libFuzzer target for the settings stream reader.
//
// The reader must survive any bytes: no crash, no read outside a buffer, no
// allocation beyond what the input holds. Whatever it reads completely must
// write out and read back to the same settings, and a stream it rejects must
// leave the object consistent enough to be written.

#include <vantrel/RegularExpression.h>

#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);

    RegexClass::RegularExpression object;
    std::istringstream in(text);
    in >> object;

    std::ostringstream out;
    out << object;
    FUZZ_CHECK(!out.fail());
    if (in.fail())
        return 0;

    RegexClass::RegularExpression again;
    std::istringstream back(out.str());
    back >> again;
    FUZZ_CHECK(!back.fail());
    FUZZ_CHECK(again == object);

    std::ostringstream outAgain;
    outAgain << again;
    FUZZ_CHECK(outAgain.str() == out.str());
    return 0;
}
