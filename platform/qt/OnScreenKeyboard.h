#pragma once
#include "platform/InputPanel.h"

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <vector>

class QPushButton;

namespace platform {

// A compact keyboard for the 320 x 240 screen, a child of the program's window. Its keys reach the
// window as the keypad's do, so the key filter, the panels and the focused edit all see them. The
// stylus taps a key; from the keypad, the arrows move the marked key and Enter types it.
class OnScreenKeyboard : public QWidget {
public:
    static constexpr int kKeyHeight = 22;
    static constexpr int kHeight = 5 * kKeyHeight + 6;

    explicit OnScreenKeyboard(QWidget* window);

    // The key the keypad has marked, as the text on it.
    QString MarkedKey() const;
    // Arrows and Enter drive the keyboard while it is shown; the caller keeps them from everyone else.
    static bool IsKeypadKey(uint32_t vk);
    void PressKeypad(uint32_t vk);
    // Away from the focused control: at the bottom of the body, or at its top when that would cover it.
    void Place();

private:
    struct Key {
        QPushButton* button;
        int row;
        int column; // of its first cell, of ten
        int span;
        int qtKey;
        QString text; // typed; empty for Backspace, Tab and Shift
    };
    void AddRow(int row, const QString& keys);
    void AddKey(int row, int column, int span, int qtKey, const QString& text, const QString& label);
    void Type(const Key& key);
    void Mark(size_t index);
    void SetShift(bool on);
    size_t Neighbour(uint32_t vk) const;

    std::vector<Key> keys_;
    size_t marked_ = 0;
    bool shift_ = false;
};

// The on-screen keyboard as the platform's input panel, on the window given as owner.
class QtInputPanel : public InputPanelService {
public:
    void SetOwner(QWidget* window);
    void Show(bool shown) override;
    bool IsShown() const override;
    // True when the keyboard is shown and takes this key of the keypad.
    bool TakesKey(uint32_t vk) const;
    OnScreenKeyboard* Keyboard() const { return keyboard_; }

private:
    QPointer<OnScreenKeyboard> keyboard_;
};

} // namespace platform
