#include "LinkSource.h"

#include "ClassicLinks.h"
#ifndef PLOVIK_NO_STANDARD_LINKS
#include "StandardLinks.h"
#endif

namespace plovik {

std::unique_ptr<LinkSource> MakeLinkSource(LinkRules rules)
{
#ifndef PLOVIK_NO_STANDARD_LINKS
    if (rules == LinkRules::Standard)
        return std::make_unique<StandardLinks>();
#endif
    return std::make_unique<ClassicLinks>();
}

}  // namespace plovik
