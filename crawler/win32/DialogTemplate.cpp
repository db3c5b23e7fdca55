#include "DialogTemplate.h"

#include <cstring>

namespace plovik {

namespace {

// Atoms of the predefined classes, which a template may name by number.
WORD PredefinedClass(const char* pszClass)
{
    if (std::strcmp(pszClass, "BUTTON") == 0)
        return 0x0080;
    if (std::strcmp(pszClass, "EDIT") == 0)
        return 0x0081;
    if (std::strcmp(pszClass, "STATIC") == 0)
        return 0x0082;
    return 0;
}

// Offset of the item count in the header: after style and extended style.
constexpr std::size_t kCountWord = 4;

}  // namespace

DialogTemplate::DialogTemplate(const char* pszCaption, short nWidth, short nHeight)
{
    AddDword(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    AddDword(0);
    m_words.push_back(0);  // item count
    for (short n : {short(0), short(0), nWidth, nHeight})
        m_words.push_back(static_cast<WORD>(n));
    m_words.push_back(0);  // no menu
    m_words.push_back(0);  // the dialog class
    AddText(pszCaption);
    m_words.push_back(8);
    AddText("MS Sans Serif");
}

void DialogTemplate::AddControl(const char* pszClass, const char* pszText, WORD nId, DWORD dwStyle, short x, short y,
                                short nWidth, short nHeight)
{
    AlignToDword();
    AddDword(dwStyle | WS_CHILD | WS_VISIBLE);
    AddDword(0);
    for (short n : {x, y, nWidth, nHeight})
        m_words.push_back(static_cast<WORD>(n));
    m_words.push_back(nId);
    if (const WORD nAtom = PredefinedClass(pszClass)) {
        m_words.push_back(0xFFFF);
        m_words.push_back(nAtom);
    } else {
        AddText(pszClass);
    }
    AddText(pszText);
    m_words.push_back(0);  // no creation data
    ++m_words[kCountWord];
}

void DialogTemplate::AddText(const char* psz)
{
    for (; *psz; ++psz)
        m_words.push_back(static_cast<unsigned char>(*psz));
    m_words.push_back(0);
}

void DialogTemplate::AddDword(DWORD n)
{
    m_words.push_back(static_cast<WORD>(n & 0xFFFFu));
    m_words.push_back(static_cast<WORD>(n >> 16));
}

void DialogTemplate::AlignToDword()
{
    if (m_words.size() % 2)
        m_words.push_back(0);
}

}  // namespace plovik
