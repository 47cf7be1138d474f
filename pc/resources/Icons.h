#pragma once

#include <QIcon>

// OTDR's toolbar icons, 22 x 22, by plain name: "open", "print", "cursor-left", "cursor-right",
// "change-mark", "curve-up", "curve-down", "zoom-in-h", "zoom-out-h", "zoom-in-v", "zoom-out-v", "restore",
// "test-average-loss", "test-joint-loss" (also as ":/otdr/<name>.png"). A null icon for any other name.
QIcon ToolbarIcon(const char* name);

// The program's icon, 32 x 32 and 48 x 48, for the main window and the About box.
QIcon ProgramIcon();
