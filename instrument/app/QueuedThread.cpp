#include "instrument/app/QueuedThread.h"

QueuedThread::QueuedThread(Body body) : queue_(std::make_shared<platform::MessageQueue>()) {
    thread_ = std::thread([queue = queue_, body = std::move(body)] { body(*queue); });
}

QueuedThread::~QueuedThread() {
    if (thread_.joinable())
        thread_.detach();
}

void QueuedThread::Join() {
    if (thread_.joinable())
        thread_.join();
}
