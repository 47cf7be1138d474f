#pragma once
#include "platform/Sync.h"

#include <functional>
#include <memory>
#include <thread>

// A thread with a message queue that exists before the thread runs, so no posted command is lost.
class QueuedThread {
public:
    using Body = std::function<void(platform::MessageQueue&)>;
    explicit QueuedThread(Body body);
    // The thread is left to finish on its own.
    ~QueuedThread();
    QueuedThread(const QueuedThread&) = delete;
    QueuedThread& operator=(const QueuedThread&) = delete;

    void Post(uint32_t message) { queue_->Post(message); }
    void Join();

private:
    std::shared_ptr<platform::MessageQueue> queue_;
    std::thread thread_;
};
