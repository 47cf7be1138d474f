#pragma once

class QEvent;

// The file panels name themselves in the debug output before the key line of every relayed key-down.
void TracePanelName(const QEvent& event, const char* name);
