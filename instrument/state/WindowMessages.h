#pragma once
#include <cstdint>

constexpr uint32_t WM_USER = 0x0400;
constexpr uint32_t WM_SHOW_CLOSE_BACK = WM_USER + 170;
constexpr uint32_t WM_PANEL_KEY = WM_USER + 202;
constexpr uint32_t WM_AUTOCLOSE_RESET = WM_USER + 222;
constexpr uint32_t WM_AUTOCLOSE_QUIT = WM_USER + 489;
constexpr uint32_t WM_VFL_ON = 0x52C;
constexpr uint32_t WM_VFL_OFF = 0x52D;
constexpr uint32_t WM_VFL_FLASH = 0x52E;
constexpr uint32_t WM_VFL_QUIT = 0x52F;

// The code the program ends with when the user quits or starts an update.
constexpr int kQuitExitCode = 18;
