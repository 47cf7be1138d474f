#pragma once
#include "instrument/app/AppFrontend.h"

#include "tests/support/RecordingMessageBox.h"

#include <atomic>
#include <utility>
#include <vector>

class FakeFrontend : public AppFrontend {
public:
    int RunMainDialog() override {
        ++runs;
        return 18;
    }
    void RelayPanelKey(uint32_t vk, uint32_t message) override { relayed.emplace_back(vk, message); }
    bool CurrentBodyIsTraceView() override { return traceView; }
    void StartQuickTest() override { ++quickTests; }
    void SendShowCloseBack() override { ++closeBacks; }
    void SetAutoCloseControl(std::function<void()> apply) override { applyAutoClose = std::move(apply); }

    std::atomic<int> runs{0};
    std::vector<std::pair<uint32_t, uint32_t>> relayed;
    bool traceView = true;
    int quickTests = 0;
    std::atomic<int> closeBacks{0};
    std::function<void()> applyAutoClose;
};
