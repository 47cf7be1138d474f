#include "instrument/app/AppEventFilter.h"

#include "instrument/app/CLumetraApp.h"
#include "instrument/app/CLumetraDlg.h"
#include "instrument/app/QtFrontend.h"

#include "platform/PowerKey.h"
#include "platform/VirtualKeys.h"
#include "platform/qt/KeyMap.h"
#include "platform/qt/OnScreenKeyboard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

bool AppEventFilter::eventFilter(QObject* watched, QEvent* event) {
    // Events enter at the window; below it Qt hands them on to widgets, which must not count twice.
    if (!watched->isWindowType())
        return false;
    // A message box runs its own loop, which the application's filter does not see.
    CLumetraDlg* dialog = frontend_.Dialog();
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != dialog)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto& key = *static_cast<QKeyEvent*>(event);
        const bool down = event->type() == QEvent::KeyPress;
        // The keypad repeats a held key as key-downs only, without releases in between.
        if (!down && key.isAutoRepeat())
            return true;
        const uint32_t vk = platform::VirtualKeyOf(key);
        if (vk == 0)
            return false;
        if (vk == platform::VK_F12) {
            if (down && !key.isAutoRepeat())
                platform::PressPowerKey();
            return true;
        }
        const uint32_t message = down ? platform::WM_KEYDOWN : platform::WM_KEYUP;
        // Decided before the key acts: a key of the on-screen keyboard may hide it.
        const bool keyboardKey = frontend_.InputPanel().TakesKey(vk);
        if (app_.PreTranslateMessage(message, vk))
            return true;
        return keyboardKey || (dialog && dialog->PreTranslateMessage(message, vk));
    }
    case QEvent::MouseButtonPress: {
        const auto& mouse = *static_cast<QMouseEvent*>(event);
        if (mouse.button() == Qt::LeftButton)
            app_.PreTranslateMessage(platform::WM_LBUTTONDOWN, 0);
        else if (mouse.button() == Qt::RightButton)
            app_.PreTranslateMessage(platform::WM_RBUTTONDOWN, 0);
        return false;
    }
    default:
        return false;
    }
}
