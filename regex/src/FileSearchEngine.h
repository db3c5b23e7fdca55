#pragma once

// The expression side of the file-search layer: the compiled expression in
// one of three traits types behind one interface, and the plain-text scan
// that runs the engine only where a match can start.

#include "FileSearch.h"
#include "RequiredText.h"

#include <boost/regex.hpp>

#include <functional>
#include <string>

namespace RegexClass {
namespace detail {

class FileSearch::Engine {
public:
    using Step = std::function<bool(const FileMatchResults&)>;
    virtual ~Engine() = default;
    virtual bool Search(const char* first, const char* last, FileMatchResults& results,
                        boost::regex_constants::match_flag_type flags) const = 0;
    virtual void Grep(const char* first, const char* last, boost::regex_constants::match_flag_type flags,
                      const Step& step) const = 0;
    // A match that starts exactly at `at`; `first` is the start of the file.
    virtual bool MatchAt(const char* first, const char* at, const char* last, FileMatchResults& results,
                         boost::regex_constants::match_flag_type flags) const = 0;
    // The leftmost match in [from, last) of the subject that starts at `first`.
    virtual bool SearchFrom(const char* first, const char* from, const char* last, FileMatchResults& results,
                            boost::regex_constants::match_flag_type flags) const = 0;
    // LiteralPrefix(expression), kept only when these traits read its characters the same way.
    virtual std::string SurePrefix(const std::string& expression) const = 0;
    // FindRequiredText for the expression as compiled, with the traits'
    // translation in `translation`; nothing when the traits read any of its
    // characters otherwise than the default syntax does.
    virtual RequiredText Required(const std::string& expression, ByteTranslation& translation) const = 0;
};

// The next occurrence of `needle` in [from, last), or null.
const char* FindText(const std::string& needle, const char* from, const char* last);

}  // namespace detail
}  // namespace RegexClass
