#pragma once
#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace platform {

// Runs a function on the user-interface thread and waits for it: a worker's synchronous send.
template <typename Function> void SendToUiThread(Function&& function) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        function();
        return;
    }
    QMetaObject::invokeMethod(app, std::forward<Function>(function), Qt::BlockingQueuedConnection);
}

} // namespace platform
