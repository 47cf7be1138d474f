#include "updater/UpdaterKeyFilter.h"

#include "platform/DebugOut.h"
#include "platform/VirtualKeys.h"
#include "platform/qt/KeyMap.h"

#include <QKeyEvent>

bool UpdaterKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWindowType() ||
        (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
        return false;
    const uint32_t vk = platform::VirtualKeyOf(*static_cast<QKeyEvent*>(event));
    if (const char* name = platform::KeyName(vk))
        platform::DebugOut("%s    App-------------\r\n", name);
    return vk == platform::VK_RETURN || vk == platform::VK_ESCAPE || vk == platform::VK_V;
}
