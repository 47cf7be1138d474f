#pragma once
#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <condition_variable>
#include <mutex>

namespace platform {

// Runs a function on the user-interface thread and waits for it: a worker's synchronous send. The
// wait is the standard library's, so that thread checkers see the hand-back.
template <typename Function> void SendToUiThread(Function&& function) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        function();
        return;
    }
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    QMetaObject::invokeMethod(
        app,
        [&] {
            function();
            std::lock_guard lock(mutex);
            done = true;
            finished.notify_one();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex);
    finished.wait(lock, [&] { return done; });
}

} // namespace platform
