#pragma once
#include <string>

class QWidget;

namespace platform {

// Saves what the screen shows as a PNG file (a host path): the program's main window with the message
// boxes and other windows standing over it. False when it cannot be written.
bool SaveScreenShot(QWidget& screen, const std::string& file);

} // namespace platform
