#include "pc/CMainFrame.h"
#include "pc/COTDRApp.h"
#include "pc/OtdrScript.h"
#include "pc/TestReport.h"
#include "pc/system/SingleInstance.h"

#include "platform/MessageBox.h"
#include "platform/qt/QtMessageBoxService.h"

#include <QApplication>
#include <QFont>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    QString scriptPath;
    QString file;
    QString reportPath;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--script") && i + 1 < arguments.size()) {
            scriptPath = arguments[++i];
        } else if (arguments[i] == QLatin1String("--report") && i + 1 < arguments.size()) {
            reportPath = arguments[++i];
        } else if (file.isEmpty() && !arguments[i].startsWith(QLatin1String("--"))) {
            file = arguments[i];
        } else {
            std::fprintf(stderr,
                         "usage: OTDR [--script FILE] [FILE.st]\n       OTDR --report OUT.pdf FILE.st\n");
            return 2;
        }
    }
    if (!reportPath.isEmpty() && (file.isEmpty() || !scriptPath.isEmpty())) {
        std::fprintf(stderr, "usage: OTDR --report OUT.pdf FILE.st\n");
        return 2;
    }
    QFont::insertSubstitutions(QStringLiteral("SimSun"),
                               {QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC")});

    // A report opens no window, so it neither takes the single-instance lock nor minds one taken.
    if (!reportPath.isEmpty())
        return WriteTraceReport(reportPath, file);

    auto boxes = std::make_shared<platform::QtMessageBoxService>();
    platform::SetMessageBoxService(boxes);
    OtdrScript script(*boxes);
    if (!scriptPath.isEmpty()) {
        std::string error;
        if (!script.Load(scriptPath, error)) {
            std::fprintf(stderr, "script: %s\n", error.c_str());
            return OtdrScript::kScriptFailedExitCode;
        }
        script.Begin();
    }
    // Held until the process ends, however it ends.
    const SingleInstance instance(COTDRApp::kMutexName);
    COTDRApp app;
    if (!app.InitInstance(!instance.OtherRunning(), file))
        return 0;
    boxes->SetOwner(app.Frame());
    if (!scriptPath.isEmpty())
        script.Start(*app.Frame());
    const int exitCode = QApplication::exec();
    platform::SetMessageBoxService(nullptr);
    return exitCode;
}
