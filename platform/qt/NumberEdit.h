#pragma once

class QLineEdit;

namespace platform {

// An edit that keeps only digits and points: at the first other character typed the text is cut there
// and the caret put at the cut.
void KeepDigitsAndPoints(QLineEdit& edit);

} // namespace platform
