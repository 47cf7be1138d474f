#include "instrument/app/AppEventFilter.h"
#include "instrument/app/CLumetraApp.h"
#include "instrument/app/CLumetraDlg.h"
#include "instrument/app/QtFrontend.h"
#include "instrument/app/ScriptRunner.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"

#include "platform/DebugOut.h"
#include "platform/DevicePath.h"
#include "platform/EmbeddedFile.h"
#include "platform/MessageBox.h"
#include "platform/PowerKey.h"
#include "platform/Resources.h"
#include "platform/VersionInfo.h"
#include "platform/qt/QtMessageBoxService.h"

#include "simboard/SimBoard.h"

#include <QApplication>
#include <QFont>
#include <QMetaObject>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

PLATFORM_VERSION_BLOCK("Lumetra", "1.0.0");
PLATFORM_EMBEDDED_FILE(updater_image)

namespace {

// Long enough for the shutdown picture to be seen before the power goes.
constexpr int kPowerOffDelayMs = 1500;

void OnPowerOff() {
    QMetaObject::invokeMethod(qApp, [] {
        QTimer::singleShot(kPowerOffDelayMs, [] {
            platform::DebugOut("power off\r\n");
            std::fflush(nullptr);
            std::_Exit(0);
        });
    });
}

// The flash disk is always mounted on the instrument, whatever files it holds.
void MountFlashDisk() {
    std::error_code error;
    std::filesystem::create_directories(platform::HostPath("\\NandFlash"), error);
}

void SetScreenFont(QApplication& app) {
    QFont::insertSubstitutions(QStringLiteral("SimSun"),
                               {QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC")});
    QFont font(QStringLiteral("SimSun"));
    font.setPixelSize(12);
    app.setFont(font);
}

} // namespace

int main(int argc, char** argv) {
    platform::StartPowerKeySignalWatcher();
    QApplication qtApp(argc, argv);
    QString scriptPath;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--script") && i + 1 < arguments.size()) {
            scriptPath = arguments[++i];
        } else {
            std::fprintf(stderr, "usage: Lumetra [--script FILE]\n");
            return 2;
        }
    }
    // A program started without arguments, as Vantrel restarts it, may still be scripted.
    if (scriptPath.isEmpty())
        scriptPath = qEnvironmentVariable("LUMETRA_SCRIPT");

    simboard::RegisterSimulatedBoard();
    if (const char* time = std::getenv("LUMETRA_TEST_TIME"); time && std::strcmp(time, "fast") == 0)
        TestThreadTime = std::make_shared<platform::FastTime>();
    simboard::SimBoard::Instance().SetPowerOffHandler(OnPowerOff);
    platform::RegisterResource(rcdata::kUpdaterImage, "UPDATA", updater_image());
    MountFlashDisk();
    SetScreenFont(qtApp);

    auto boxes = std::make_shared<platform::QtMessageBoxService>();
    platform::SetMessageBoxService(boxes);
    QtFrontend frontend;
    CLumetraApp app(frontend);
    AppEventFilter filter(app, frontend);
    qtApp.installEventFilter(&filter);

    ScriptRunner script(frontend, *boxes);
    if (!scriptPath.isEmpty()) {
        std::string error;
        if (!script.Load(scriptPath, error)) {
            std::fprintf(stderr, "script: %s\n", error.c_str());
            return ScriptRunner::kScriptFailedExitCode;
        }
        script.Begin();
    }
    frontend.OnDialogCreated([&](CLumetraDlg& dialog) {
        boxes->SetOwner(&dialog);
        if (!scriptPath.isEmpty())
            script.Start();
    });
    return app.InitInstance();
}
