#pragma once
#include <cstdint>

class QKeyEvent;

namespace platform {

// The virtual-key code of a Qt key event, 0 for keys without one. The one place Qt keys meet codes.
uint32_t VirtualKeyOf(const QKeyEvent& event);
// The Qt key of a virtual-key code, for synthetic key events; 0 if none.
int QtKeyOf(uint32_t vk);

} // namespace platform
