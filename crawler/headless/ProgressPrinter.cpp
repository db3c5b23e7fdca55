#include "ProgressPrinter.h"

#include <ostream>

#include "TextEscapes.h"

namespace plovik {

namespace {
const char* const kClearToEnd = "\x1b[K";
}

ProgressPrinter::~ProgressPrinter()
{
    End();
}

void ProgressPrinter::End()
{
    if (m_bLive && m_bPending)
        m_err << '\n' << std::flush;
    m_bPending = false;
}

void ProgressPrinter::Show(const std::string& sText)
{
    if (sText == m_strLast)
        return;
    m_strLast = sText;
    if (m_bLive) {
        m_err << '\r' << Printable(sText) << kClearToEnd << std::flush;
        m_bPending = true;
    } else {
        m_err << Printable(sText) << '\n' << std::flush;
    }
}

void ProgressPrinter::Note(const std::string& sLine)
{
    if (m_bLive && m_bPending) {
        m_err << '\r' << Printable(sLine) << kClearToEnd << '\n' << Printable(m_strLast) << kClearToEnd << std::flush;
        return;
    }
    m_err << Printable(sLine) << '\n' << std::flush;
}

}  // namespace plovik
