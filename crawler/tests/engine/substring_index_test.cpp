// The index of a text's substrings against a plain search of the text.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "SubstringIndex.h"

using plovik::SubstringIndex;

namespace {

TEST(SubstringIndex, FindsFirstAndLastOccurrencesLikeAPlainSearch)
{
    std::mt19937 random(11);
    for (int n = 0; n < 300; ++n) {
        std::string strText;
        const auto nAlphabet = 1u + static_cast<unsigned>(random() % 3);
        for (int i = static_cast<int>(random() % 40); i > 0; --i)
            strText += static_cast<char>('a' + random() % nAlphabet);
        const SubstringIndex index(strText);
        for (int m = 0; m < 40; ++m) {
            std::string strPiece;
            for (int i = 1 + static_cast<int>(random() % 5); i > 0; --i)
                strPiece += static_cast<char>('a' + random() % nAlphabet);
            const std::int32_t nState = index.Find(strPiece.data(), strPiece.size());
            const std::size_t nFirst = strText.find(strPiece);
            ASSERT_EQ(nState == SubstringIndex::kAbsent, nFirst == std::string::npos) << strPiece << " in " << strText;
            if (nFirst == std::string::npos)
                continue;
            EXPECT_EQ(index.FirstEnd(nState), nFirst + strPiece.size()) << strPiece << " in " << strText;
            EXPECT_EQ(index.LastEnd(nState), strText.rfind(strPiece) + strPiece.size())
                << strPiece << " in " << strText;
        }
    }
}

TEST(SubstringIndex, TakesEveryByte)
{
    std::string strText;
    for (int c = 0; c < 256; ++c)
        strText += static_cast<char>(c);
    strText += strText;
    const SubstringIndex index(strText);
    const std::string strPiece("\xff\x00\x01", 3);
    const std::int32_t nState = index.Find(strPiece.data(), strPiece.size());
    ASSERT_NE(nState, SubstringIndex::kAbsent);
    EXPECT_EQ(index.FirstEnd(nState), 258u);
    EXPECT_EQ(index.LastEnd(nState), 258u);
    EXPECT_EQ(index.Find("\x00\x00", 2), SubstringIndex::kAbsent);
}

}  // namespace
