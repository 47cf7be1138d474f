#include "updater/CVantrelDlg.h"
#include "updater/UpdaterKeyFilter.h"

#include "platform/VersionInfo.h"

#include <QApplication>

PLATFORM_VERSION_BLOCK("Vantrel", "1.0.0");

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    UpdaterKeyFilter filter;
    app.installEventFilter(&filter);
    CVantrelDlg dialog;
    return dialog.exec();
}
