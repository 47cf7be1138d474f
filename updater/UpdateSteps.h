#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

// What Vantrel does, without its window: the checks of its start, the product names, the copy step and
// the worker's whole run. Boxes go through platform::MessageBox, waits through platform::Sleep.
namespace updater {

inline constexpr char16_t kPromptTitle[] = u"Prompt";
inline constexpr char16_t kProgramTitle[] = u"Vantrel";
inline constexpr char16_t kNoUsbDisk[] = u"U disk not detected!";
inline constexpr char16_t kNoUpdateFile[] = u"Not detected the upgrade files in the U disk root directory!";
inline constexpr char16_t kNameMismatch[] =
    u"The product name doesn\u2019t match, please check the upgrade file.";
inline constexpr char16_t kUpgraded[] = u"Upgrade successfully!";
inline constexpr char16_t kUpgradeFailed[] = u"Upgrade failed!";

inline constexpr char kInstalledProgram[] = "\\NandFlash\\Lumetra.exe";
inline constexpr char kProgramName[] = "Lumetra.exe";
// Time for the old instrument program to end and let go of its file.
inline constexpr uint32_t kReleaseWaitMs = 2000;
// Time for the restarted instrument program to take the screen before the updater goes.
inline constexpr uint32_t kRestartWaitMs = 4000;
inline constexpr int kQuitExitCode = 18;

// The start's two checks on the USB disk folder (UDiskRoot): 1 when it holds a program to install,
// else 0 after the box that says what is missing.
int CheckUpdateSource(const std::string& udiskRoot);

struct ProductInfo {
    std::string name; // empty without a readable version block
    std::string version;
};
ProductInfo ReadProductInfo(std::string_view programPath);
ProductInfo ProductInfoOf(std::string_view programBytes);

// Exact text, letter case counting; versions do not matter. A program without a product name is never
// taken for an update, whatever the installed one reads.
bool SameProduct(const ProductInfo& installed, const ProductInfo& update);

// The copy step. The program goes first and only if the bytes copied carry `productName`; without it
// installed, "Upgrade failed!" is shown, nothing else is touched and 0 comes back. Settings, language
// files and help pages follow; one that cannot be copied is skipped.
int CopyUpdateFiles(const std::string& udiskRoot, const std::string& productName);

enum class UpdateEnd {
    Restarted,     // the instrument program runs again: the updater may end
    RestartFailed, // it could not be started
    CopyFailed,    // "Upgrade failed!": the updater stays on its screen
    Stopped,       // `stop` was set while a box was open
};

// The worker thread's run, up to and including the wait after the restart. `stop` is looked at after
// every box, so that a run that is to end does nothing more.
UpdateEnd RunUpdate(const std::string& udiskRoot, const std::atomic<bool>& stop);

} // namespace updater
