#include "platform/qt/OnScreenKeyboard.h"

#include "platform/VirtualKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <QWindow>
#include <algorithm>

namespace platform {
namespace {

constexpr int kColumns = 10;
constexpr int kRows = 5;
constexpr int kKeyWidth = 31;
constexpr int kLeft = 5;
constexpr int kTop = 3;
// The soft keys' strip begins here.
constexpr int kBodyBottom = 217;

const QString kStyle = QStringLiteral("QWidget#keyboard { background: #d8dce4; }"
                                      "QPushButton { background: white; border: 1px solid #7a8290;"
                                      " border-radius: 3px; padding: 0; }"
                                      "QPushButton:pressed { background: #b8c8e8; }"
                                      "QPushButton[marked=\"true\"] { background: #2f63c8; color: white;"
                                      " border: 2px solid #10307a; }"
                                      "QPushButton[on=\"true\"] { font-weight: bold; color: #c00060; }");

void SetFlag(QPushButton* button, const char* name, bool on) {
    button->setProperty(name, on);
    button->style()->unpolish(button);
    button->style()->polish(button);
}

} // namespace

OnScreenKeyboard::OnScreenKeyboard(QWidget* window) : QWidget(window) {
    setObjectName(QStringLiteral("keyboard"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(kStyle);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(320, kHeight);
    AddRow(0, QStringLiteral("1234567890"));
    AddRow(1, QStringLiteral("qwertyuiop"));
    AddRow(2, QStringLiteral("asdfghjkl"));
    AddKey(2, 9, 1, Qt::Key_Backspace, {}, QStringLiteral("←"));
    AddKey(3, 0, 1, Qt::Key_Shift, {}, QStringLiteral("↑"));
    for (int column = 1; const QChar c : QStringLiteral("zxcvbnm"))
        AddKey(3, column++, 1, Qt::Key_A + (c.unicode() - 'a'), QString(c), QString(c));
    AddKey(3, 8, 1, Qt::Key_Minus, QStringLiteral("-"), QStringLiteral("-"));
    AddKey(3, 9, 1, Qt::Key_Period, QStringLiteral("."), QStringLiteral("."));
    AddKey(4, 0, 1, Qt::Key_Underscore, QStringLiteral("_"), QStringLiteral("_"));
    AddKey(4, 1, 6, Qt::Key_Space, QStringLiteral(" "), QString());
    AddKey(4, 7, 3, Qt::Key_Tab, {}, QStringLiteral("Tab"));
    Mark(0);
    hide();
}

void OnScreenKeyboard::AddRow(int row, const QString& keys) {
    for (int column = 0; column < keys.size(); ++column) {
        const QChar c = keys[column];
        const int qtKey = c.isDigit() ? Qt::Key_0 + (c.unicode() - '0') : Qt::Key_A + (c.unicode() - 'a');
        AddKey(row, column, 1, qtKey, QString(c), QString(c));
    }
}

void OnScreenKeyboard::AddKey(int row, int column, int span, int qtKey, const QString& text,
                              const QString& label) {
    auto* button = new QPushButton(label, this);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(kLeft + column * kKeyWidth, kTop + row * kKeyHeight, span * kKeyWidth - 1,
                        kKeyHeight - 1);
    keys_.push_back({button, row, column, span, qtKey, text});
    const size_t index = keys_.size() - 1;
    connect(button, &QPushButton::clicked, this, [this, index] { Type(keys_[index]); });
}

QString OnScreenKeyboard::MarkedKey() const {
    return keys_[marked_].button->text();
}

bool OnScreenKeyboard::IsKeypadKey(uint32_t vk) {
    return vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN || vk == VK_RETURN;
}

void OnScreenKeyboard::PressKeypad(uint32_t vk) {
    if (vk == VK_RETURN)
        Type(keys_[marked_]);
    else
        Mark(Neighbour(vk));
}

size_t OnScreenKeyboard::Neighbour(uint32_t vk) const {
    const Key& from = keys_[marked_];
    if (vk == VK_LEFT || vk == VK_RIGHT) {
        // Along the row, round at its ends.
        std::vector<size_t> row;
        for (size_t i = 0; i < keys_.size(); ++i)
            if (keys_[i].row == from.row)
                row.push_back(i);
        const auto at = static_cast<size_t>(std::find(row.begin(), row.end(), marked_) - row.begin());
        return row[(at + (vk == VK_RIGHT ? 1 : row.size() - 1)) % row.size()];
    }
    // The key of the next row up or down that covers this key's first cell.
    const int row = (from.row + (vk == VK_DOWN ? 1 : kRows - 1)) % kRows;
    for (size_t i = 0; i < keys_.size(); ++i)
        if (keys_[i].row == row && from.column >= keys_[i].column &&
            from.column < keys_[i].column + keys_[i].span)
            return i;
    return marked_;
}

void OnScreenKeyboard::Mark(size_t index) {
    SetFlag(keys_[marked_].button, "marked", false);
    marked_ = index;
    SetFlag(keys_[marked_].button, "marked", true);
}

void OnScreenKeyboard::SetShift(bool on) {
    shift_ = on;
    for (Key& key : keys_) {
        if (key.qtKey == Qt::Key_Shift)
            SetFlag(key.button, "on", on);
        if (key.text.size() == 1 && key.text[0].isLetter()) {
            key.text = on ? key.text.toUpper() : key.text.toLower();
            key.button->setText(key.text);
        }
    }
}

void OnScreenKeyboard::Type(const Key& key) {
    if (key.qtKey == Qt::Key_Shift) {
        SetShift(!shift_);
        return;
    }
    QWindow* target = window()->windowHandle();
    if (!target)
        return;
    // The key goes in where the keypad's keys do, so every filter and the focused control see it.
    const QString text = key.text;
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key.qtKey, Qt::NoModifier, text);
        QCoreApplication::sendEvent(target, &event);
    }
    if (shift_ && text.size() == 1 && text[0].isLetter())
        SetShift(false);
}

void OnScreenKeyboard::Place() {
    // Above the soft keys, else at the top, else (over a pane that covers the soft keys too) at the
    // bottom of the screen: the first place that leaves the focused control in view.
    const int places[] = {kBodyBottom - kHeight, 0, window()->height() - kHeight};
    QRect focusedArea;
    if (const QWidget* focused = QApplication::focusWidget(); focused && focused->window() == window())
        focusedArea = QRect(focused->mapTo(window(), QPoint(0, 0)), focused->size());
    int top = places[0];
    for (const int place : places) {
        if (!focusedArea.intersects(QRect(0, place, width(), kHeight))) {
            top = place;
            break;
        }
    }
    move(0, top);
}

void QtInputPanel::SetOwner(QWidget* window) {
    delete keyboard_;
    keyboard_ = window ? new OnScreenKeyboard(window) : nullptr;
    if (keyboard_)
        QObject::connect(qApp, &QApplication::focusChanged, keyboard_, [keyboard = keyboard_.data()] {
            if (!keyboard->isHidden())
                keyboard->Place();
        });
}

void QtInputPanel::Show(bool shown) {
    if (!keyboard_)
        return;
    if (shown) {
        keyboard_->Place();
        keyboard_->show();
        keyboard_->raise();
    } else {
        keyboard_->hide();
    }
}

bool QtInputPanel::IsShown() const {
    return keyboard_ && !keyboard_->isHidden();
}

bool QtInputPanel::TakesKey(uint32_t vk) const {
    return IsShown() && OnScreenKeyboard::IsKeypadKey(vk);
}

} // namespace platform
