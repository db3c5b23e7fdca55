// libFuzzer target for compiling and running expressions.
//
// Any expression under any option set, family and locale model must compile
// or fail with a code, never crash or hang; what compiles must search, grep
// and merge any subject. The engine's own limits (complexity, stack) surface
// as std::runtime_error and are allowed. The operations must agree with each
// other: a search finds something exactly when a grep counts a match, a grep
// counts the same with and without a callback, and the two merge paths give
// the same text.

#include <vantrel/RegularExpression.h>

#include "FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using RegexClass::RegularExpression;
using RegexClass::REMatch;

// Single options 0..12 and families 13..21, with a few values outside both.
void ChooseExpressionOptions(FuzzedDataProvider& in, RegularExpression& re)
{
    if (in.ConsumeBool())
        re.ClearExpressionOptions();
    const int changes = in.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < changes; ++i) {
        const auto option = static_cast<RegularExpression::Options>(in.ConsumeIntegralInRange(0, 23));
        if (in.ConsumeBool())
            re.AddExpressionOption(option);
        else
            re.DeleteExpressionOption(option);
    }
}

void ChooseMatchOptions(FuzzedDataProvider& in, RegularExpression& re)
{
    const int changes = in.ConsumeIntegralInRange(0, 3);
    for (int i = 0; i < changes; ++i)
        re.AddMatchOption(static_cast<RegularExpression::Matches>(in.ConsumeIntegralInRange(0, 12)));
}

void ChooseLocale(FuzzedDataProvider& in, RegularExpression& re)
{
    re.SetLocaleModel(static_cast<RegularExpression::LocaleModels>(in.ConsumeIntegralInRange(0, 3)));
    if (in.ConsumeBool()) {
        try {
            re.SetLocale(std::locale("C.UTF-8"));
        } catch (const std::runtime_error&) {
            // Not generated on this machine: the classic locale stays.
        }
    }
}

// Runs the operations and checks that they agree.
void Exercise(RegularExpression& re, bool partial)
{
    const bool found = re.Search();
    const unsigned int count = re.Grep();
    if (!partial)
        FUZZ_CHECK(found == (count > 0));

    unsigned int reported = 0;
    re.SetOnGreppingClosure(
        [&reported](RegularExpression*, const std::vector<REMatch>& list, unsigned int line, unsigned int, bool&) {
            FUZZ_CHECK(list.size() >= 3 && line >= 1);
            ++reported;
        });
    FUZZ_CHECK(re.Grep() == count && reported == count);

    re.SetFormatString("<$0>");
    for (bool copy : {false, true}) {
        re.SetMergeCopy(copy);
        std::string plain;
        re.SetOnMergingClosure(RegularExpression::MergingClosure());
        re.Merge(plain);
        std::string called;
        re.SetOnMergingClosure(
            [](RegularExpression*, const std::vector<REMatch>&, unsigned int, unsigned int, bool&) {});
        re.Merge(called);
        FUZZ_CHECK(plain == called);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    RegularExpression re;
    ChooseExpressionOptions(in, re);
    ChooseMatchOptions(in, re);
    ChooseLocale(in, re);
    re.SetExpression(in.ConsumeRandomLengthString(256));
    re.SetStringToMatch(in.ConsumeRemainingBytesAsString());

    const RegularExpression::ExpressionErrorCode code = re.ParseExpression();
    FUZZ_CHECK(code == RegularExpression::NoError || !re.GetExpressionError().empty() ||
               code == RegularExpression::ErrorNoExpression);
    if (code != RegularExpression::NoError)
        return 0;

    try {
        Exercise(re, re.IsMatchOption(RegularExpression::MatchPartial));
    } catch (const std::runtime_error&) {
        // The engine's complexity and stack limits.
    }
    return 0;
}
