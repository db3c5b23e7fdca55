#pragma once
// The application object: sets up the window system and runs the main window.

#include <QApplication>

namespace plovik {

class CCrawlerApp : public QApplication {
    Q_OBJECT
public:
    CCrawlerApp(int& argc, char** argv);

    // Runs the main window modally; false, so the program ends when it closes.
    bool InitInstance();

    // The look every window of the program shares: one style and the dialog font,
    // so the window looks the same on every machine.
    static void ApplyLook();
};

}  // namespace plovik
