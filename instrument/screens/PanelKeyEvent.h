#pragma once
#include "instrument/state/WindowMessages.h"

#include <QEvent>

// WM_PANEL_KEY: a key relayed by the application filter to the current panel and pane.
class PanelKeyEvent : public QEvent {
public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + WM_PANEL_KEY);
    PanelKeyEvent(uint32_t vk, uint32_t message) : QEvent(kType), vk_(vk), message_(message) {}
    uint32_t VirtualKey() const { return vk_; }
    // WM_KEYDOWN or WM_KEYUP.
    uint32_t Message() const { return message_; }

private:
    uint32_t vk_;
    uint32_t message_;
};
