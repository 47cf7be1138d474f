#pragma once

namespace platform {

// The name of the event the power key signals.
inline constexpr const char* kPowerKeyEvent = "otdrPowerOff";

// The power key of a Linux board arrives as SIGUSR1. Call before any other thread starts, so that the
// signal is blocked everywhere and taken by one watcher thread that signals the event.
void StartPowerKeySignalWatcher();

// What the power key does: signal the event, if the program has created it.
void PressPowerKey();

} // namespace platform
