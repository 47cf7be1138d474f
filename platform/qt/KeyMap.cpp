#include "platform/qt/KeyMap.h"

#include "platform/VirtualKeys.h"

#include <QKeyEvent>

namespace platform {
namespace {

struct KeyPair {
    int qt;
    uint32_t vk;
};

constexpr KeyPair kKeys[] = {
    {Qt::Key_Return, VK_RETURN}, {Qt::Key_Enter, VK_RETURN},   {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Left, VK_LEFT},     {Qt::Key_Up, VK_UP},          {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Down, VK_DOWN},     {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB},
    {Qt::Key_Space, VK_SPACE},   {Qt::Key_Delete, VK_DELETE},  {Qt::Key_Period, VK_OEM_PERIOD},
};

} // namespace

uint32_t VirtualKeyOf(const QKeyEvent& event) {
    const int key = event.key();
    for (const KeyPair& pair : kKeys)
        if (pair.qt == key)
            return pair.vk;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return VK_F1 + static_cast<uint32_t>(key - Qt::Key_F1);
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<uint32_t>(key);
    return 0;
}

int QtKeyOf(uint32_t vk) {
    for (const KeyPair& pair : kKeys)
        if (pair.vk == vk)
            return pair.qt;
    if (vk >= VK_F1 && vk <= VK_F12)
        return Qt::Key_F1 + static_cast<int>(vk - VK_F1);
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return static_cast<int>(vk);
    return 0;
}

} // namespace platform
