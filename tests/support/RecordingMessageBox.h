#pragma once
#include "platform/MessageBox.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Answers every box with a fixed answer and keeps what was asked.
class RecordingMessageBox : public platform::MessageBoxService {
public:
    int Show(const std::u16string& text, const std::u16string& title, uint32_t flags) override {
        std::lock_guard lock(mutex);
        shown.push_back({text, title, flags});
        return answer;
    }
    size_t Count() {
        std::lock_guard lock(mutex);
        return shown.size();
    }
    // The texts of the boxes shown since the last call.
    std::vector<std::u16string> TakeTexts() {
        std::lock_guard lock(mutex);
        std::vector<std::u16string> texts;
        for (const Box& box : shown)
            texts.push_back(box.text);
        shown.clear();
        return texts;
    }
    struct Box {
        std::u16string text, title;
        uint32_t flags;
    };
    std::mutex mutex;
    std::vector<Box> shown;
    std::atomic<int> answer{platform::IDNO};
};

// Polls a condition in real time; for what another thread does soon.
inline bool Eventually(const std::function<bool()>& condition, int timeoutMs = 3000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return condition();
}
