#include "tests/support/qt/QtTestApp.h"

#include <QApplication>

void EnsureQtApplication() {
    if (QApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}
