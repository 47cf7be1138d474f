#pragma once
#include <cstdint>

namespace platform {

// Window messages of keys and the stylus, and the virtual-key codes of the instrument's keypad.
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;

constexpr uint32_t VK_BACK = 0x08;
constexpr uint32_t VK_TAB = 0x09;
constexpr uint32_t VK_RETURN = 0x0D;
constexpr uint32_t VK_ESCAPE = 0x1B;
constexpr uint32_t VK_SPACE = 0x20;
constexpr uint32_t VK_LEFT = 0x25;
constexpr uint32_t VK_UP = 0x26;
constexpr uint32_t VK_RIGHT = 0x27;
constexpr uint32_t VK_DOWN = 0x28;
constexpr uint32_t VK_DELETE = 0x2E;
constexpr uint32_t VK_F1 = 0x70;
constexpr uint32_t VK_F2 = 0x71;
constexpr uint32_t VK_F3 = 0x72;
constexpr uint32_t VK_F4 = 0x73;
constexpr uint32_t VK_F12 = 0x7B;
constexpr uint32_t VK_DECIMAL = 0x6E;
constexpr uint32_t VK_OEM_PERIOD = 0xBE;
constexpr uint32_t VK_T = 'T';
constexpr uint32_t VK_V = 'V';

// "VK_RETURN", "T", "VK_F1", ... for the keys the instrument traces; nullptr for others.
const char* KeyName(uint32_t vk);
// The code of a name as KeyName gives it, or of a letter or digit; 0 if unknown.
uint32_t KeyFromName(const char* name);

} // namespace platform
