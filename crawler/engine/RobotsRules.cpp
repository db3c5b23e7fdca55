#include "RobotsRules.h"

#include "SubstringIndex.h"
#include "TextFormat.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace plovik {

namespace {

bool IsUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
        c == '_' || c == '~';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Paths and patterns are compared in one form: escapes of unreserved characters
// decoded, other escapes in upper-case hex, bytes outside printable ASCII encoded.
std::string ComparisonForm(const std::string& s)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
            const unsigned char decoded = static_cast<unsigned char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
            if (IsUnreserved(decoded)) {
                out += static_cast<char>(decoded);
            } else {
                out += '%';
                out += kHex[decoded >> 4];
                out += kHex[decoded & 0xF];
            }
            i += 2;
        } else if (c <= 0x20 || c >= 0x7F) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// RFC 3986's removal of "." and ".." segments, in one pass over a path beginning
// with "/".
std::string RemoveDotSegments(const std::string& strPath)
{
    std::string out;
    out.reserve(strPath.size());
    std::size_t i = 0;
    const std::size_t n = strPath.size();
    while (i < n) {
        std::size_t j = strPath.find('/', i + 1);
        if (j == std::string::npos)
            j = n;
        const std::size_t nSegment = j - i - 1;
        const bool bDot = nSegment == 1 && strPath[i + 1] == '.';
        const bool bDotDot = nSegment == 2 && strPath[i + 1] == '.' && strPath[i + 2] == '.';
        if (bDotDot) {
            const std::size_t nLast = out.rfind('/');
            out.erase(nLast == std::string::npos ? 0 : nLast);
        }
        if (bDot || bDotDot) {
            if (j == n)
                out += '/';
        } else {
            out.append(strPath, i, j - i);
        }
        i = j;
    }
    return out.empty() ? std::string("/") : out;
}

// The target as rules see it: comparison form, then dot segments of the path gone.
std::string ComparedTarget(const std::string& strTarget)
{
    std::string s = ComparisonForm(strTarget);
    if (s.empty() || s[0] != '/')
        s.insert(0, "/");
    const std::size_t nQuery = s.find('?');
    if (nQuery == std::string::npos)
        return RemoveDotSegments(s);
    return RemoveDotSegments(s.substr(0, nQuery)) + s.substr(nQuery);
}

// Knuth-Morris-Pratt failure function of one piece: for each of its prefixes, the
// length of the longest proper border.
void AppendBorders(const char* pPiece, std::size_t nLength, std::vector<std::uint32_t>& borders)
{
    const std::size_t nBase = borders.size();
    borders.resize(nBase + nLength, 0);
    std::uint32_t k = 0;
    for (std::size_t i = 1; i < nLength; ++i) {
        while (k > 0 && pPiece[i] != pPiece[k])
            k = borders[nBase + k - 1];
        if (pPiece[i] == pPiece[k])
            ++k;
        borders[nBase + i] = k;
    }
}

// The end of the leftmost occurrence of the piece at or after nFrom, or npos. Linear
// in the text searched: the search never steps back.
std::size_t FindPieceEnd(const std::string& strText, std::size_t nFrom, const char* pPiece, std::size_t nLength,
                         const std::uint32_t* pBorders)
{
    const std::size_t n = strText.size();
    std::size_t k = 0;
    for (std::size_t i = nFrom; i < n; ++i) {
        if (k == 0) {
            // Nothing matched yet: skip straight to the piece's first byte.
            const void* p = std::memchr(strText.data() + i, pPiece[0], n - i);
            if (!p)
                return std::string::npos;
            i = static_cast<std::size_t>(static_cast<const char*>(p) - strText.data());
        }
        while (k > 0 && strText[i] != pPiece[k])
            k = pBorders[k - 1];
        if (strText[i] == pPiece[k])
            ++k;
        if (k == nLength)
            return i + 1;
    }
    return std::string::npos;
}

void AddBytes(const std::string& s, std::array<std::uint64_t, 4>& set)
{
    for (unsigned char c : BytesOf(s))
        set[c >> 6] |= std::uint64_t(1) << (c & 63);
}

bool Contains(const std::array<std::uint64_t, 4>& outer, const std::array<std::uint64_t, 4>& inner)
{
    for (std::size_t i = 0; i < 4; ++i)
        if ((inner[i] & ~outer[i]) != 0)
            return false;
    return true;
}

std::string TrimBlanks(const std::string& s)
{
    const auto nFirst = s.find_first_not_of(" \t");
    if (nFirst == std::string::npos)
        return std::string();
    return s.substr(nFirst, s.find_last_not_of(" \t") - nFirst + 1);
}

}  // namespace

const std::size_t kMaxRobotsBytes = 512 * 1024;

RobotsRules::RobotsRules(const std::string& strFile, const std::string& strAgent)
{
    struct Written {
        std::string strPattern;
        bool bAllow;
    };
    struct Group {
        std::vector<std::string> agents;
        std::vector<Written> rules;
    };
    // Beyond the cap nothing is read, and a line the cap cuts is dropped: half a
    // path may allow more than the whole.
    std::size_t nSize = strFile.size();
    if (nSize > kMaxRobotsBytes) {
        const std::size_t nLineEnd = strFile.find_last_of("\r\n", kMaxRobotsBytes - 1);
        nSize = nLineEnd == std::string::npos ? 0 : nLineEnd;
    }
    const std::string strText = strFile.substr(0, nSize);
    std::vector<Group> groups;
    bool bInRules = false;  // the last record was a rule: a user-agent line starts a new group
    // A byte order mark is no part of the first line.
    std::size_t nStart = strText.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (nStart <= strText.size()) {
        std::size_t nEnd = strText.find_first_of("\r\n", nStart);
        if (nEnd == std::string::npos)
            nEnd = strText.size();
        std::string strLine = strText.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        const auto nComment = strLine.find('#');
        if (nComment != std::string::npos)
            strLine.erase(nComment);
        const auto nColon = strLine.find(':');
        if (nColon == std::string::npos)
            continue;
        const std::string strKey = LowerAscii(TrimBlanks(strLine.substr(0, nColon)));
        const std::string strValue = TrimBlanks(strLine.substr(nColon + 1));
        if (strKey == "user-agent") {
            if (groups.empty() || bInRules)
                groups.emplace_back();
            groups.back().agents.push_back(LowerAscii(strValue));
            bInRules = false;
        } else if (strKey == "allow" || strKey == "disallow") {
            if (groups.empty())
                continue;  // rules before any user-agent line belong to no group
            bInRules = true;
            if (!strValue.empty())  // an empty value matches nothing
                groups.back().rules.push_back(Written{strValue, strKey == "allow"});
        }
    }
    // All groups that name the agent count, else all that name "*".
    const auto names = [](const Group& g, const std::string& strName) {
        return std::find(g.agents.begin(), g.agents.end(), strName) != g.agents.end();
    };
    for (const std::string& strName : {LowerAscii(strAgent), std::string("*")}) {
        bool bNamed = false;
        for (const Group& g : groups)
            if (names(g, strName)) {
                bNamed = true;
                for (const Written& w : g.rules)
                    m_rules.push_back(Compile(w.strPattern, w.bAllow));
            }
        if (bNamed)
            break;
    }
    Order();
}

RobotsRules RobotsRules::DisallowAll()
{
    RobotsRules rules;
    rules.m_rules.push_back(Compile("/", false));
    return rules;
}

RobotsRules::Rule RobotsRules::Compile(const std::string& strWritten, bool bAllow)
{
    Rule r;
    const std::string strPattern = ComparisonForm(strWritten);
    r.nLength = strPattern.size();
    r.bAllow = bAllow;
    std::size_t nEnd = strPattern.size();
    r.bAnchored = nEnd > 0 && strPattern[nEnd - 1] == '$';
    if (r.bAnchored)
        --nEnd;
    std::size_t nPiece = 0;
    while (nPiece <= nEnd) {
        std::size_t nStar = strPattern.find('*', nPiece);
        if (nStar == std::string::npos || nStar > nEnd)
            nStar = nEnd;
        // Empty pieces (runs of stars) say nothing, except the first: the pattern
        // starts at the path's start.
        if (nStar > nPiece || r.pieceEnds.empty()) {
            r.strLiterals.append(strPattern, nPiece, nStar - nPiece);
            AppendBorders(strPattern.data() + nPiece, nStar - nPiece, r.borders);
            r.pieceEnds.push_back(static_cast<std::uint32_t>(r.strLiterals.size()));
        }
        nPiece = nStar + 1;
    }
    // The last piece was followed by a star unless the pattern ends with it (or "$").
    r.bEndsWithStar = nEnd > 0 && strPattern[nEnd - 1] == '*';
    AddBytes(r.strLiterals, r.needed);
    return r;
}

void RobotsRules::Order()
{
    std::stable_sort(m_rules.begin(), m_rules.end(), [](const Rule& a, const Rule& b) {
        return a.nLength != b.nLength ? a.nLength > b.nLength : (a.bAllow && !b.bAllow);
    });
}

// One path against the rules in turn: the path's substrings, and where the pieces of
// the last rule tried were placed (rules in a row often begin alike).
class RobotsRules::Scan {
public:
    explicit Scan(std::string strPath) : t(std::move(strPath)) { AddBytes(t, present); }

    // Built for the first rule whose bytes the path has; none for a path so long that
    // the index would cost more than plain searches (it takes about 60 bytes a byte).
    const SubstringIndex* Index()
    {
        if (!pIndex && t.size() <= kMaxIndexedPath)
            pIndex = std::make_unique<SubstringIndex>(t);
        return pIndex.get();
    }
    static constexpr std::size_t kMaxIndexedPath = 16 * 1024;

    const std::string t;
    std::unique_ptr<SubstringIndex> pIndex;
    ByteSet present{};
    const Rule* pLast = nullptr;
    std::vector<std::size_t> placedEnds;  // of the last rule's leading pieces
};

namespace {

bool SamePiece(const std::string& a, const std::vector<std::uint32_t>& aEnds, const std::string& b,
               const std::vector<std::uint32_t>& bEnds, std::size_t k)
{
    const std::size_t nA = k == 0 ? 0 : aEnds[k - 1], nB = k == 0 ? 0 : bEnds[k - 1];
    const std::size_t nLength = aEnds[k] - nA;
    return bEnds[k] - nB == nLength && a.compare(nA, nLength, b, nB, nLength) == 0;
}

}  // namespace

// Pieces are placed leftmost, each after the one before: if any placement matches,
// that one does, so nothing is ever tried twice. The last piece need only occur
// after the others (or, with "$", end the path).
bool RobotsRules::Matches(const Rule& r, Scan& scan)
{
    const std::string& t = scan.t;
    if (r.strLiterals.size() > t.size() || !Contains(scan.present, r.needed))
        return false;
    const SubstringIndex* pIndex = scan.Index();
    const char* pLiterals = r.strLiterals.data();
    const std::size_t nPieces = r.pieceEnds.size();
    const bool bLastPlaced = r.bEndsWithStar || nPieces == 1;  // every piece placed greedily
    const std::size_t nPlaced = bLastPlaced ? nPieces : nPieces - 1;

    // Pieces shared with the last rule tried sit where they sat there.
    std::size_t k = 0;
    if (scan.pLast) {
        const Rule& last = *scan.pLast;
        while (k < nPlaced && k < scan.placedEnds.size() &&
               SamePiece(r.strLiterals, r.pieceEnds, last.strLiterals, last.pieceEnds, k))
            ++k;
    }
    scan.placedEnds.resize(k);
    scan.pLast = &r;
    std::size_t nPos = k == 0 ? 0 : scan.placedEnds[k - 1];
    for (; k < nPlaced; ++k) {
        const std::size_t nBegin = k == 0 ? 0 : r.pieceEnds[k - 1];
        const std::size_t nLength = r.pieceEnds[k] - nBegin;
        if (k == 0) {
            // The first piece starts the path.
            if (t.compare(0, nLength, pLiterals, nLength) != 0)
                return false;
            nPos = nLength;
        } else {
            const std::int32_t nState = pIndex ? pIndex->Find(pLiterals + nBegin, nLength) : SubstringIndex::kAbsent;
            if (pIndex && (nState == SubstringIndex::kAbsent || pIndex->LastEnd(nState) < nPos + nLength))
                return false;
            if (pIndex && pIndex->FirstEnd(nState) >= nPos + nLength)
                nPos = pIndex->FirstEnd(nState);
            else
                nPos = FindPieceEnd(t, nPos, pLiterals + nBegin, nLength, r.borders.data() + nBegin);
            if (nPos == std::string::npos)
                return false;
        }
        scan.placedEnds.push_back(nPos);
    }
    if (bLastPlaced)
        return !r.bAnchored || r.bEndsWithStar || nPos == t.size();
    const std::size_t nBegin = r.pieceEnds[nPieces - 2];
    const std::size_t nLast = r.pieceEnds[nPieces - 1] - nBegin;
    if (t.size() - nPos < nLast)
        return false;
    if (r.bAnchored)
        return t.compare(t.size() - nLast, nLast, pLiterals + nBegin, nLast) == 0;
    if (!pIndex)
        return FindPieceEnd(t, nPos, pLiterals + nBegin, nLast, r.borders.data() + nBegin) != std::string::npos;
    const std::int32_t nState = pIndex->Find(pLiterals + nBegin, nLast);
    return nState != SubstringIndex::kAbsent && pIndex->LastEnd(nState) >= nPos + nLast;
}

bool RobotsRules::Allows(const std::string& strTarget) const
{
    if (strTarget == "/robots.txt" || m_rules.empty())
        return true;
    Scan scan(ComparedTarget(strTarget));
    // Longest first: the first match decides.
    for (const Rule& r : m_rules)
        if (Matches(r, scan))
            return r.bAllow;
    return true;
}

}  // namespace plovik
