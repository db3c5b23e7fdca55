// ParseExpression: compiling the expression in the current locale model, with
// the result cached per model, and the messages that go with it.

#include "EngineFlags.h"
#include "LocaleDll.h"
#include "LocaleDllMessages.h"
#include "RegularExpressionImpl.h"
#include "SyntaxRewrite.h"

#include <mutex>

namespace RegexClass {

namespace {

// The engine's message catalogues are process-wide, one per traits class, so
// compilations in those two models are serialized. LocaleC has no catalogue.
std::mutex g_win32CompileLock;
std::mutex g_cppCompileLock;
// The locale DLL names (before resolution) last installed as each catalogue.
std::string g_lastWin32Catalogue;
std::string g_lastCppCatalogue;

const char kEmptyExpression[] = "Empty expression";
const char kCannotOpenLocaleDll[] = "Unable to open the Locale DLL ";

// Resolves the object's locale DLL, taking the strings of the module that loads.
std::string Resolve(RegularExpressionImpl& d)
{
    detail::LocaleDllStrings strings{d.spaceClassLetter, d.emptyExpressionMessage, d.localeDllMessage};
    std::string resolved = detail::ResolveLocaleDll(d.localeDll, strings);
    d.spaceClassLetter = strings.spaceClassLetter;
    d.emptyExpressionMessage = std::move(strings.emptyExpressionMessage);
    d.localeDllMessage = std::move(strings.localeDllMessage);
    return resolved;
}

std::string LocaleDllFailure(const RegularExpressionImpl& d, const std::string& resolved)
{
    return (d.localeDllMessage.empty() ? std::string(kCannotOpenLocaleDll) : d.localeDllMessage) + resolved + ".";
}

struct Outcome {
    std::uint32_t code = 0;
    std::string message;
};

// Compiles into a fresh engine object so that a failure leaves no earlier
// expression behind; `target` receives the result either way.
template <class Regex>
Outcome CompileInto(Regex& target, Regex fresh, RegularExpressionImpl& d)
{
    Outcome outcome;
    const std::uint32_t classic = d.ClassicCompileFlags();
    const detail::EngineGroup group = detail::EngineGroupOf(d.expressionOptions);
    const detail::EngineExpression engine = detail::ToEngineSyntax(d.expression, classic, group);
    try {
        fresh.assign(engine.text, detail::EngineSyntaxFlags(classic, group));
        target = std::move(fresh);
    } catch (const boost::regex_error& e) {
        outcome.code = detail::ClassicErrorCode(e.code());
        outcome.message = detail::QuoteCallersText(e.what(), d.expression, engine, e.position());
        target = Regex();
    } catch (const std::runtime_error&) {
        // The installed catalogue could not be opened.
        outcome.code = detail::kClassicErrorLocaleDll;
        outcome.message = LocaleDllFailure(d, Resolve(d));
        target = Regex();
    }
    return outcome;
}

Outcome CompileWin32(RegularExpressionImpl& d)
{
    std::lock_guard<std::mutex> lock(g_win32CompileLock);
    if (d.localeDll != g_lastWin32Catalogue) {
        std::string resolved = Resolve(d);
        g_lastWin32Catalogue = d.localeDll;
        detail::Win32RegexTraits::catalog_name(resolved);
    }
    return CompileInto(d.win32Expression, Win32Regex(), d);
}

Outcome CompileCpp(RegularExpressionImpl& d)
{
    std::lock_guard<std::mutex> lock(g_cppCompileLock);
    if (d.localeChanged || d.localeDll != g_lastCppCatalogue) {
        d.localeChanged = false;
        std::string resolved = Resolve(d);
        g_lastCppCatalogue = d.localeDll;
        boost::cpp_regex_traits<char>::catalog_name(resolved);
        try {
            // A new facet object makes the engine read the catalogue again.
            d.cppImbuedLocale = resolved.empty() ? d.locale : std::locale(d.locale, new detail::LocaleDllMessages());
            CppRegex probe;
            probe.imbue(d.cppImbuedLocale);
        } catch (const std::runtime_error&) {
            d.cppExpression = CppRegex();
            return Outcome{detail::kClassicErrorLocaleDll, LocaleDllFailure(d, resolved)};
        }
    }
    try {
        CppRegex fresh;
        fresh.imbue(d.cppImbuedLocale);
        return CompileInto(d.cppExpression, std::move(fresh), d);
    } catch (const std::runtime_error&) {
        d.cppExpression = CppRegex();
        return Outcome{detail::kClassicErrorLocaleDll, LocaleDllFailure(d, Resolve(d))};
    }
}

}  // namespace

RegularExpression::ExpressionErrorCode RegularExpression::ParseExpression()
{
    RegularExpressionImpl& d = *m_impl;
    ParseState& state = d.CurrentParseState();
    if (state.parsed)
        return detail::ToExpressionErrorCode(state.errorCode);
    if (d.expression.empty())
        return ErrorNoExpression;

    Outcome outcome;
    switch (d.ModelIndex()) {
    case LocaleWin32:
        outcome = CompileWin32(d);
        break;
    case LocaleC:
        outcome = CompileInto(d.cExpression, CRegex(), d);
        break;
    default:
        outcome = CompileCpp(d);
        break;
    }
    state.parsed = true;
    state.errorCode = outcome.code;
    state.message = std::move(outcome.message);
    return detail::ToExpressionErrorCode(state.errorCode);
}

std::string RegularExpression::GetExpressionError() const
{
    const RegularExpressionImpl& d = *m_impl;
    const ParseState& state = d.CurrentParseState();
    if (state.parsed)
        return state.errorCode != 0 ? state.message : std::string();
    if (d.expression.empty())
        return d.emptyExpressionMessage.empty() ? std::string(kEmptyExpression) : d.emptyExpressionMessage;
    return std::string();
}

unsigned int RegularExpression::NumberOfSubexpressions()
{
    if (!m_impl->CurrentParseState().parsed)
        ParseExpression();
    return static_cast<const RegularExpression&>(*this).NumberOfSubexpressions();
}

unsigned int RegularExpression::NumberOfSubexpressions() const
{
    if (!m_impl->CompiledOk())
        return 0;
    // 1.81's mark count already leaves out the whole match.
    return m_impl->WithExpression([](const auto& re) { return static_cast<unsigned int>(re.mark_count()); });
}

}  // namespace RegexClass
