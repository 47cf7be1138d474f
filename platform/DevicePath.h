#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// The folder that stands for the instrument's file system: LUMETRA_ROOT, else
// $XDG_DATA_HOME/lumetra/device, else ~/.local/share/lumetra/device.
std::filesystem::path DeviceRoot();

// Tests and tools point the device at another folder; an empty path restores the default.
void SetDeviceRoot(const std::filesystem::path& root);

// Maps an instrument path such as "\NandFlash\config.ini" (UTF-8, '\' or '/') into the device root.
// Each component matches an existing entry without regard to letter case, as the instrument's file
// system does; components that do not exist yet keep the case written. ".." stops at the root.
std::filesystem::path HostPath(std::string_view devicePath);

// Where a device path leads on the host, every link followed (fileio::ResolveLocation). False when that
// lies outside the device root, itself resolved the same way (so a root that is a link works), or when a
// link on the way cannot be followed: a link in the root must not reach the rest of the host.
bool ResolveInRoot(std::string_view devicePath, std::filesystem::path& location);

// Letter-case-insensitive comparison of file names (ASCII letters fold; other characters compare as is).
bool SameFileName(std::string_view a, std::string_view b);

// The USB disk's folder: "\硬盘" when the user-default locale is "0804", else "\Hard Disk".
// It exists while a disk is plugged in.
std::string UsbDiskRoot();

} // namespace platform
