#pragma once
// The status texts of a headless crawl on standard error: rewritten in place on a
// terminal, one line each otherwise. A text equal to the one before is not repeated
// (the start page's "Scanning" is set before its fetch and again after it).

#include <iosfwd>
#include <string>

namespace plovik {

class ProgressPrinter {
public:
    ProgressPrinter(std::ostream& err, bool bLive) : m_err(err), m_bLive(bLive) {}
    ~ProgressPrinter();
    ProgressPrinter(const ProgressPrinter&) = delete;
    ProgressPrinter& operator=(const ProgressPrinter&) = delete;

    void Show(const std::string& sText);
    // A line of its own that stays (a failed page), above the live status text.
    void Note(const std::string& sLine);
    // Ends a live text's line; nothing more is shown in place after this.
    void End();

private:
    std::ostream& m_err;
    const bool m_bLive;
    bool m_bPending = false;  // a live text is on the screen without its line end
    std::string m_strLast;
};

}  // namespace plovik
