// Construction, copying, comparison and the plain settings.

#include "RegularExpressionImpl.h"

#include <limits>

namespace RegexClass {

RegularExpressionImpl::RegularExpressionImpl(RegularExpression* owner_)
    : owner(owner_),
      expressionOptions{RegularExpression::EscapeInLists, RegularExpression::CharClasses,
                        RegularExpression::Intervals,     RegularExpression::BkRefs,
                        RegularExpression::NoCollate,     RegularExpression::SyntaxNormal},
      matchOptions{RegularExpression::MatchDefault},
      locale(),
      cppImbuedLocale(locale)
{
}

int RegularExpressionImpl::ModelIndex() const
{
    switch (localeModel) {
    case RegularExpression::LocaleWin32:
        return RegularExpression::LocaleWin32;
    case RegularExpression::LocaleC:
        return RegularExpression::LocaleC;
    default:
        return RegularExpression::LocaleCpp;
    }
}

namespace {

// The settings and callbacks that both copying forms take over.
void CopySettings(RegularExpressionImpl& to, const RegularExpressionImpl& from)
{
    to.spaceClassLetter = from.spaceClassLetter;
    to.emptyExpressionMessage = from.emptyExpressionMessage;
    to.localeDllMessage = from.localeDllMessage;
    to.expressionOptions = from.expressionOptions;
    to.matchOptions = from.matchOptions;
    to.formatType = from.formatType;
    to.localeModel = from.localeModel;
    to.expression = from.expression;
    to.stringToMatch = from.stringToMatch;
    to.filesToMatch = from.filesToMatch;
    to.formatString = from.formatString;
    to.saveExtension = from.saveExtension;
    to.localeDll = from.localeDll;
    to.directoryRecursion = from.directoryRecursion;
    to.mergeCopy = from.mergeCopy;
    to.mergeOnlyFirst = from.mergeOnlyFirst;
    to.maximumSplits = from.maximumSplits;
    to.splitInputDelete = from.splitInputDelete;
    to.continueFiles = from.continueFiles;
    to.onMatching = from.onMatching;
    to.onSearching = from.onSearching;
    to.onGrepping = from.onGrepping;
    to.onGreppingFiles = from.onGreppingFiles;
    to.onFindFiles = from.onFindFiles;
    to.onMerging = from.onMerging;
    to.onChangingFiles = from.onChangingFiles;
    ReplaceClosure(to, to.onMatchingClosure, from.onMatchingClosure);
    ReplaceClosure(to, to.onSearchingClosure, from.onSearchingClosure);
    ReplaceClosure(to, to.onGreppingClosure, from.onGreppingClosure);
    ReplaceClosure(to, to.onGreppingFilesClosure, from.onGreppingFilesClosure);
    ReplaceClosure(to, to.onFindFilesClosure, from.onFindFilesClosure);
    ReplaceClosure(to, to.onMergingClosure, from.onMergingClosure);
    ReplaceClosure(to, to.onChangingFilesClosure, from.onChangingFilesClosure);
}

}  // namespace

RegularExpression::RegularExpression() : m_impl(new RegularExpressionImpl(this))
{
}

RegularExpression::RegularExpression(const RegularExpression& other) : m_impl(new RegularExpressionImpl(this))
{
    CopySettings(*m_impl, *other.m_impl);
}

RegularExpression& RegularExpression::operator=(const RegularExpression& other)
{
    if (this == &other)
        return *this;
    CopySettings(*m_impl, *other.m_impl);
    m_impl->ClearParseStates();
    return *this;
}

RegularExpression::~RegularExpression() = default;

bool RegularExpression::operator==(const RegularExpression& other) const
{
    const RegularExpressionImpl& a = *m_impl;
    const RegularExpressionImpl& b = *other.m_impl;
    return a.expressionOptions == b.expressionOptions && a.matchOptions == b.matchOptions &&
        a.expression == b.expression && a.stringToMatch == b.stringToMatch && a.filesToMatch == b.filesToMatch &&
        a.formatString == b.formatString && a.saveExtension == b.saveExtension &&
        a.directoryRecursion == b.directoryRecursion && a.mergeCopy == b.mergeCopy &&
        a.maximumSplits == b.maximumSplits && a.localeDll == b.localeDll && a.mergeOnlyFirst == b.mergeOnlyFirst &&
        a.continueFiles == b.continueFiles && a.splitInputDelete == b.splitInputDelete &&
        a.formatType == b.formatType && a.localeModel == b.localeModel;
}

// ---------------------------------------------------------------- expression, locale

void RegularExpression::SetExpression(const std::string& expression)
{
    if (expression == m_impl->expression)
        return;
    m_impl->expression = expression;
    m_impl->ClearParseStates();
}

std::string RegularExpression::GetExpression() const
{
    return m_impl->expression;
}

void RegularExpression::SetLocale(const std::locale& locale)
{
    if (!(locale == m_impl->locale))
        m_impl->locale = locale;
    m_impl->parseStates[LocaleCpp].Clear();
    m_impl->localeChanged = true;
}

std::locale RegularExpression::GetLocale() const
{
    return m_impl->locale;
}

void RegularExpression::SetLocaleModel(LocaleModels model)
{
    if (m_impl->busy)
        return;
    m_impl->localeModel = model;
}

RegularExpression::LocaleModels RegularExpression::GetLocaleModel() const
{
    return m_impl->localeModel;
}

void RegularExpression::SetLocaleDll(const std::string& name)
{
    if (name == m_impl->localeDll)
        return;
    m_impl->localeDll = name;
    m_impl->parseStates[LocaleCpp].Clear();
    m_impl->parseStates[LocaleWin32].Clear();
}

std::string RegularExpression::GetLocaleDll() const
{
    return m_impl->localeDll;
}

// ------------------------------------------------------------------- plain settings

void RegularExpression::SetStringToMatch(const std::string& subject)
{
    m_impl->stringToMatch = subject;
}
std::string RegularExpression::GetStringToMatch() const
{
    return m_impl->stringToMatch;
}
void RegularExpression::SetFormatString(const std::string& format)
{
    m_impl->formatString = format;
}
std::string RegularExpression::GetFormatString() const
{
    return m_impl->formatString;
}
void RegularExpression::SetFilesToMatch(const std::string& pattern)
{
    m_impl->filesToMatch = pattern;
}
std::string RegularExpression::GetFilesToMatch() const
{
    return m_impl->filesToMatch;
}
void RegularExpression::SetSaveExtension(const std::string& extension)
{
    m_impl->saveExtension = extension;
}
std::string RegularExpression::GetSaveExtension() const
{
    return m_impl->saveExtension;
}
void RegularExpression::SetDirectoryRecursion(bool recurse)
{
    m_impl->directoryRecursion = recurse;
}
bool RegularExpression::GetDirectoryRecursion() const
{
    return m_impl->directoryRecursion;
}
void RegularExpression::SetMergeCopy(bool copy)
{
    m_impl->mergeCopy = copy;
}
bool RegularExpression::GetMergeCopy() const
{
    return m_impl->mergeCopy;
}
void RegularExpression::SetMergeOnlyFirst(bool onlyFirst)
{
    m_impl->mergeOnlyFirst = onlyFirst;
}
bool RegularExpression::GetMergeOnlyFirst() const
{
    return m_impl->mergeOnlyFirst;
}
void RegularExpression::SetSplitInputDelete(bool consume)
{
    m_impl->splitInputDelete = consume;
}
bool RegularExpression::GetSplitInputDelete() const
{
    return m_impl->splitInputDelete;
}

void RegularExpression::SetMaximumSplits(unsigned long maximum)
{
    // The count is 32-bit: larger values mean "as many as possible", never a wrapped small number.
    constexpr unsigned long kMax = std::numeric_limits<std::uint32_t>::max();
    m_impl->maximumSplits = static_cast<std::uint32_t>(maximum > kMax ? kMax : maximum);
}

unsigned long RegularExpression::GetMaximumSplits() const
{
    return m_impl->maximumSplits;
}
void RegularExpression::SetFormatType(FormatTypes type)
{
    m_impl->formatType = type;
}
RegularExpression::FormatTypes RegularExpression::GetFormatType() const
{
    return m_impl->formatType;
}
void RegularExpression::SetContinueFiles(bool continueFiles)
{
    m_impl->continueFiles = continueFiles;
}
bool RegularExpression::GetContinueFiles() const
{
    return m_impl->continueFiles;
}

}  // namespace RegexClass
