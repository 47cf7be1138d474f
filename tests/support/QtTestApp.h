#pragma once
#include <QApplication>

// The one application object of a test process, on the offscreen platform, alive to the end of the
// process as a program's is.
inline void EnsureQtApplication() {
    if (QApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}
