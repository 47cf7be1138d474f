#pragma once
#include <QString>

class QWidget;

// A key of the keypad pressed and released on a window, as the platform delivers it; `text` is what a
// character key types.
void PressKeypad(QWidget& window, int key, const QString& text = {});
