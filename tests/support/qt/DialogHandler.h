#pragma once
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

// Hands every modal dialog that opens to `handle` until the command that opened it returns.
class DialogHandler {
public:
    explicit DialogHandler(std::function<void(QDialog&)> handle) : handle_(std::move(handle)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* dialog = dynamic_cast<QDialog*>(QApplication::activeModalWidget()))
                handle_(*dialog);
        });
        timer_.start(10);
    }

private:
    std::function<void(QDialog&)> handle_;
    QTimer timer_;
};
