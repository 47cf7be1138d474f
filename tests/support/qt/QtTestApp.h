#pragma once

// The one application object of a test process, on the offscreen platform, alive to the end of the
// process as a program's is.
void EnsureQtApplication();
