#pragma once
// The page text of a body read in 1024-byte pieces counted from its start: a zero
// byte ends its piece; or, for a whole body, every byte as sent. Both HTTP layers
// feed it whatever slices the network hands over, so the text does not depend on
// the network.

#include <cstddef>
#include <string>

namespace plovik {

class BodyPieces {
public:
    explicit BodyPieces(std::size_t nMaxBytes, bool bWhole = false) : m_nMaxBytes(nMaxBytes), m_bWhole(bWhole) {}

    // False, and nothing kept, when the body would grow beyond the cap.
    bool Append(const char* pData, std::size_t nLen);
    // Keeps what fits under the cap; false when something did not fit.
    bool AppendUpToCap(const char* pData, std::size_t nLen);

    bool OverCap() const { return m_bOverCap; }
    std::string& Text() { return m_strText; }

private:
    static constexpr std::size_t kPiece = 1024;
    std::size_t m_nMaxBytes;
    bool m_bWhole;
    std::string m_strText;
    std::size_t m_nBodyBytes = 0;  // raw bytes received so far
    bool m_bPieceEnded = false;    // a zero byte ended the current piece
    bool m_bOverCap = false;
};

}  // namespace plovik
