// The seven callback slots: a plain function or a closure, at most one set.

#include "RegularExpressionImpl.h"

namespace RegexClass {

#define VANTREL_CALLBACK_SLOT(Event, field)                                                                            \
    void RegularExpression::SetOn##Event(Event##Function f)                                                            \
    {                                                                                                                  \
        m_impl->field = f;                                                                                             \
        if (f)                                                                                                         \
            ReplaceClosure(*m_impl, m_impl->field##Closure, Event##Closure());                                         \
    }                                                                                                                  \
    RegularExpression::Event##Function RegularExpression::GetOn##Event() const                                         \
    {                                                                                                                  \
        return m_impl->field;                                                                                          \
    }                                                                                                                  \
    void RegularExpression::SetOn##Event##Closure(Event##Closure c)                                                    \
    {                                                                                                                  \
        ReplaceClosure(*m_impl, m_impl->field##Closure, std::move(c));                                                 \
        if (!m_impl->field##Closure.empty())                                                                           \
            m_impl->field = nullptr;                                                                                   \
    }                                                                                                                  \
    RegularExpression::Event##Closure RegularExpression::GetOn##Event##Closure() const                                 \
    {                                                                                                                  \
        return m_impl->field##Closure;                                                                                 \
    }

VANTREL_CALLBACK_SLOT(Matching, onMatching)
VANTREL_CALLBACK_SLOT(Searching, onSearching)
VANTREL_CALLBACK_SLOT(Grepping, onGrepping)
VANTREL_CALLBACK_SLOT(GreppingFiles, onGreppingFiles)
VANTREL_CALLBACK_SLOT(FindFiles, onFindFiles)
VANTREL_CALLBACK_SLOT(Merging, onMerging)
VANTREL_CALLBACK_SLOT(ChangingFiles, onChangingFiles)

#undef VANTREL_CALLBACK_SLOT

}  // namespace RegexClass
