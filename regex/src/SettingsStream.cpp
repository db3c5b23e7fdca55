// The settings text layout: the writer (always version 2) and the reader
// (versions 1 and 2).
//
// Tokens are separated by single blanks; strings are a length, one separator
// character and the raw characters, so they may hold blanks and line breaks.
// The reader takes untrusted text: it stops at the first token that fails,
// keeps what it has read so far, and never sizes a buffer from a length
// prefix (a string only grows as its characters actually arrive).

#include "RegularExpressionImpl.h"

#include <algorithm>
#include <ios>
#include <istream>
#include <locale>
#include <new>
#include <ostream>

namespace RegexClass {

namespace {

constexpr int kWrittenVersion = 2;

// Characters of a string field are taken in pieces of at most this size.
constexpr std::size_t kReadChunk = 64 * 1024;

// Numbers, flags and lengths travel in the classic locale's form whatever
// locale the caller's stream carries: a grouped "1,500" written under one
// locale would not read back under another. The stream gets its own locale
// back when the operator returns.
class ClassicLocaleScope {
public:
    explicit ClassicLocaleScope(std::ios& stream) : m_stream(stream), m_saved(stream.imbue(std::locale::classic())) {}
    ~ClassicLocaleScope() { m_stream.imbue(m_saved); }
    ClassicLocaleScope(const ClassicLocaleScope&) = delete;
    ClassicLocaleScope& operator=(const ClassicLocaleScope&) = delete;

private:
    std::ios& m_stream;
    std::locale m_saved;
};

// ------------------------------------------------------------------- writing

void WriteOptionSet(std::ostream& out, const std::set<int>& set)
{
    out << static_cast<int>(set.size()) << ' ';
    for (int value : set)
        out << value << ' ';
}

void WriteStringBody(std::ostream& out, const std::string& text)
{
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void WriteString(std::ostream& out, const std::string& text)
{
    out << static_cast<std::uint32_t>(text.size()) << ' ';
    if (!text.empty()) {
        WriteStringBody(out, text);
        out << ' ';
    }
}

// The last field: nothing may follow it, not even a blank.
void WriteLastString(std::ostream& out, const std::string& text)
{
    out << static_cast<std::uint32_t>(text.size());
    if (!text.empty()) {
        out << ' ';
        WriteStringBody(out, text);
    }
}

// ------------------------------------------------------------------- reading

bool Failed(const std::istream& in)
{
    return in.fail();
}  // fail or bad

bool ReadOptionSet(std::istream& in, std::set<int>& set)
{
    int count = 0;
    if (Failed(in >> count))
        return false;
    // The count only bounds the loop; each value must actually be there.
    for (int i = 0; i < count; ++i) {
        int value = 0;
        if (Failed(in >> value))
            return false;
        set.insert(value);
    }
    return true;
}

template <class T>
bool ReadFlag(std::istream& in, T& field)
{
    bool value = false;
    if (Failed(in >> value))
        return false;
    field = value;
    return true;
}

// Reads `length` raw characters; the field gets the text before the first zero
// character. When fewer arrive, the field is left as it was.
bool ReadStringBody(std::istream& in, std::uint32_t length, std::string& field)
{
    std::string text;
    bool cut = false;  // a zero character was seen: the rest is read and dropped
    std::string chunk;
    std::uint64_t left = length;
    while (left > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, kReadChunk));
        try {
            chunk.resize(want);
        } catch (const std::bad_alloc&) {
            in.setstate(std::ios_base::badbit);
            return false;
        }
        in.read(&chunk[0], static_cast<std::streamsize>(want));
        const std::size_t got = static_cast<std::size_t>(in.gcount());
        if (!cut) {
            const std::size_t zero = chunk.find('\0');
            const std::size_t keep = std::min(got, zero);
            try {
                text.append(chunk, 0, keep);
            } catch (const std::bad_alloc&) {
                in.setstate(std::ios_base::badbit);
                return false;
            }
            cut = keep < got;
        }
        if (got < want || Failed(in)) {
            in.setstate(std::ios_base::failbit);
            return false;
        }
        left -= got;
    }
    field.swap(text);
    return true;
}

// A string other than the last: length, one separator character, characters.
bool ReadString(std::istream& in, std::string& field)
{
    std::uint32_t length = 0;
    if (Failed(in >> length))
        return false;
    in.get();  // the separator, whatever character it is
    if (Failed(in))
        return false;
    if (length == 0) {
        field.clear();
        return true;
    }
    return ReadStringBody(in, length, field);
}

// The last string: an empty one is its length alone.
bool ReadLastString(std::istream& in, std::string& field)
{
    std::uint32_t length = 0;
    if (Failed(in >> length))
        return false;
    if (length == 0) {
        field.clear();
        return true;
    }
    in.get();
    if (Failed(in))
        return false;
    return ReadStringBody(in, length, field);
}

// Fields 2 to 5, common to both versions.
bool ReadCommonHead(std::istream& in, RegularExpression& object)
{
    RegularExpressionImpl& d = object.Impl();
    // Clearing through the object also marks every locale model not parsed,
    // so the next operation compiles the expression read here.
    object.ClearExpressionOptions();
    if (!ReadOptionSet(in, d.expressionOptions))
        return false;
    object.ClearMatchOptions();
    if (!ReadOptionSet(in, d.matchOptions))
        return false;
    return ReadFlag(in, d.directoryRecursion) && ReadFlag(in, d.mergeCopy);
}

void ReadVersion1(std::istream& in, RegularExpression& object)
{
    RegularExpressionImpl& d = object.Impl();
    if (!ReadCommonHead(in, object))
        return;
    if (!ReadString(in, d.expression) || !ReadString(in, d.stringToMatch) || !ReadString(in, d.filesToMatch) ||
        !ReadString(in, d.formatString))
        return;
    ReadLastString(in, d.saveExtension);
}

void ReadVersion2(std::istream& in, RegularExpression& object)
{
    RegularExpressionImpl& d = object.Impl();
    if (!ReadCommonHead(in, object))
        return;
    if (!ReadFlag(in, d.mergeOnlyFirst) || !ReadFlag(in, d.splitInputDelete) || !ReadFlag(in, d.continueFiles))
        return;

    std::uint32_t maximumSplits = 0;
    if (Failed(in >> maximumSplits))
        return;
    d.maximumSplits = maximumSplits;

    // Stored as read: neither range-checked nor held back while busy.
    int number = 0;
    if (Failed(in >> number))
        return;
    d.formatType = static_cast<RegularExpression::FormatTypes>(number);
    if (Failed(in >> number))
        return;
    d.localeModel = static_cast<RegularExpression::LocaleModels>(number);

    if (!ReadString(in, d.expression) || !ReadString(in, d.stringToMatch) || !ReadString(in, d.filesToMatch) ||
        !ReadString(in, d.formatString) || !ReadString(in, d.saveExtension))
        return;
    ReadLastString(in, d.localeDll);
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const RegularExpression& object)
{
    const RegularExpressionImpl& d = object.Impl();
    ClassicLocaleScope classic(out);
    out << kWrittenVersion << ' ';
    WriteOptionSet(out, d.expressionOptions);
    WriteOptionSet(out, d.matchOptions);
    out << d.directoryRecursion << ' ' << d.mergeCopy << ' ' << d.mergeOnlyFirst << ' ' << d.splitInputDelete << ' '
        << d.continueFiles << ' ';
    out << d.maximumSplits << ' ';
    out << static_cast<int>(d.formatType) << ' ' << static_cast<int>(d.localeModel) << ' ';
    WriteString(out, d.expression);
    WriteString(out, d.stringToMatch);
    WriteString(out, d.filesToMatch);
    WriteString(out, d.formatString);
    WriteString(out, d.saveExtension);
    WriteLastString(out, d.localeDll);
    return out;
}

std::istream& operator>>(std::istream& in, RegularExpression& object)
{
    ClassicLocaleScope classic(in);
    int version = 0;
    if (Failed(in >> version))
        return in;
    switch (version) {
    case 1:
        ReadVersion1(in, object);
        break;
    case 2:
        ReadVersion2(in, object);
        break;
    default:
        // A later layout cannot be read, and 0 or less is no layout at all:
        // either way nothing is taken and the caller learns that from the stream.
        in.setstate(std::ios_base::failbit);
        break;
    }
    return in;
}

}  // namespace RegexClass
