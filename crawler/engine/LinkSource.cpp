#include "LinkSource.h"

#include "ClassicLinks.h"
#include "StandardLinks.h"

namespace plovik {

std::unique_ptr<LinkSource> MakeLinkSource(LinkRules rules)
{
    if (rules == LinkRules::Standard)
        return std::make_unique<StandardLinks>();
    return std::make_unique<ClassicLinks>();
}

}  // namespace plovik
