#include "BodyPieces.h"

#include <algorithm>
#include <cstring>

namespace plovik {

bool BodyPieces::Append(const char* pData, std::size_t nLen)
{
    if (nLen > m_nMaxBytes - m_nBodyBytes) {
        m_bOverCap = true;
        return false;
    }
    if (m_bWhole) {
        m_strText.append(pData, nLen);
        m_nBodyBytes += nLen;
        return true;
    }
    std::size_t nDone = 0;
    while (nDone < nLen) {
        const std::size_t nInPiece = m_nBodyBytes % kPiece;
        if (nInPiece == 0)
            m_bPieceEnded = false;
        const std::size_t nSpan = std::min(nLen - nDone, kPiece - nInPiece);
        if (!m_bPieceEnded) {
            const char* pStart = pData + nDone;
            const void* pZero = std::memchr(pStart, 0, nSpan);
            const std::size_t nKeep =
                pZero ? static_cast<std::size_t>(static_cast<const char*>(pZero) - pStart) : nSpan;
            m_strText.append(pStart, nKeep);
            m_bPieceEnded = pZero != nullptr;
        }
        nDone += nSpan;
        m_nBodyBytes += nSpan;
    }
    return true;
}

bool BodyPieces::AppendUpToCap(const char* pData, std::size_t nLen)
{
    const std::size_t nRoom = m_nMaxBytes - m_nBodyBytes;
    if (nLen <= nRoom)
        return Append(pData, nLen);
    Append(pData, nRoom);
    m_bOverCap = true;
    return false;
}

}  // namespace plovik
