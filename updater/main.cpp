#include "updater/CVantrelDlg.h"
#include "updater/UpdaterKeyFilter.h"
#include "updater/VantrelScript.h"

#include "platform/MessageBox.h"
#include "platform/Time.h"
#include "platform/VersionInfo.h"
#include "platform/qt/QtMessageBoxService.h"

#include <QApplication>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

PLATFORM_VERSION_BLOCK("Vantrel", "1.0.0");

int main(int argc, char** argv) {
    // A write past a file-size limit fails like a full flash disk instead of ending the updater midway.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    if (const char* time = std::getenv("LUMETRA_TEST_TIME"); time && std::strcmp(time, "fast") == 0)
        platform::SetTimeSource(std::make_shared<platform::FastTime>());
    auto boxes = std::make_shared<platform::QtMessageBoxService>();
    platform::SetMessageBoxService(boxes);
    UpdaterKeyFilter filter;
    app.installEventFilter(&filter);
    CVantrelDlg dialog;
    boxes->SetOwner(&dialog);

    VantrelScript script(dialog, *boxes);
    if (const char* path = std::getenv("VANTREL_SCRIPT"); path && *path) {
        std::string error;
        if (!script.Load(path, error)) {
            std::fprintf(stderr, "script: %s\n", error.c_str());
            return VantrelScript::kScriptFailedExitCode;
        }
        script.Start();
    }
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.OnInitDialog(); });
    const int exitCode = dialog.exec();
    // Nothing of the updater may stay behind in the box service once the dialog is gone.
    platform::SetMessageBoxService(nullptr);
    return exitCode;
}
