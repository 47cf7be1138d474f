#include "updater/UpdateSteps.h"

#include "platform/DebugOut.h"
#include "platform/DevicePath.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/Time.h"
#include "platform/VersionInfo.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace updater {
namespace {

constexpr char kNameKey[] = "\\StringFileInfo\\080403a8\\ProductName";
constexpr char kVersionKey[] = "\\StringFileInfo\\080403a8\\ProductVersion";

// Read once, checked and written from the same bytes: what is installed is what was compared.
bool InstallProgram(const std::string& source, const std::string& productName) {
    std::vector<uint8_t> bytes;
    if (!platform::ReadWholeFile(source, bytes))
        return false;
    const ProductInfo info =
        ProductInfoOf(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (info.name.empty() || info.name != productName) {
        platform::DebugOut("Vantrel: %s is not %s\r\n", source.c_str(), productName.c_str());
        return false;
    }
    return platform::WriteWholeFile(kInstalledProgram, bytes, true);
}

void CopyDataFiles(const std::string& udiskRoot, const char* pattern,
                   std::initializer_list<const char*> names) {
    for (const platform::FindData& entry : platform::FindFiles(udiskRoot + "\\" + pattern)) {
        const auto name = std::find_if(names.begin(), names.end(), [&](const char* wanted) {
            return platform::SameFileName(entry.name, wanted);
        });
        if (entry.isDirectory || name == names.end())
            continue;
        const bool copied =
            platform::CopyFile(udiskRoot + "\\" + entry.name, std::string("\\NandFlash\\") + *name, false);
        platform::DebugOut("Vantrel: %s %s\r\n", copied ? "copied" : "skipped", entry.name.c_str());
    }
}

} // namespace

int CheckUpdateSource(const std::string& udiskRoot) {
    if (!platform::IsDirectory(udiskRoot)) {
        platform::MessageBox(kNoUsbDisk, kPromptTitle, platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return 0;
    }
    if (!platform::PathExists(udiskRoot + "\\" + kProgramName)) {
        platform::MessageBox(kNoUpdateFile, kPromptTitle, platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return 0;
    }
    return 1;
}

ProductInfo ProductInfoOf(std::string_view programBytes) {
    ProductInfo info;
    if (!platform::QueryVersionValueIn(programBytes, kNameKey, info.name))
        info.name.clear();
    if (!platform::QueryVersionValueIn(programBytes, kVersionKey, info.version))
        info.version.clear();
    return info;
}

ProductInfo ReadProductInfo(std::string_view programPath) {
    std::vector<uint8_t> bytes;
    if (!platform::ReadWholeFile(programPath, bytes))
        return {};
    return ProductInfoOf(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool SameProduct(const ProductInfo& installed, const ProductInfo& update) {
    return !update.name.empty() && update.name == installed.name;
}

int CopyUpdateFiles(const std::string& udiskRoot, const std::string& productName) {
    bool installed = false;
    for (const platform::FindData& entry : platform::FindFiles(udiskRoot + "\\*.exe")) {
        if (entry.isDirectory || !platform::SameFileName(entry.name, kProgramName))
            continue;
        platform::Sleep(kReleaseWaitMs);
        installed = InstallProgram(udiskRoot + "\\" + entry.name, productName);
        if (!installed)
            break;
        platform::DebugOut("Vantrel: copied %s\r\n", entry.name.c_str());
    }
    // A disk pulled out after the checks installs nothing, which is no success either.
    if (!installed) {
        platform::DebugOut("Vantrel: the program could not be installed\r\n");
        platform::MessageBox(kUpgradeFailed, kProgramTitle, platform::MB_OK);
        return 0;
    }
    CopyDataFiles(udiskRoot, "*.ini", {"config.ini", "languageCH.ini", "languageEN.ini"});
    CopyDataFiles(udiskRoot, "*.htm", {"HELP_OTDR.htm", "HELP_OTDR_En.htm"});
    return 1;
}

UpdateEnd RunUpdate(const std::string& udiskRoot, const std::atomic<bool>& stop) {
    const ProductInfo installed = ReadProductInfo(kInstalledProgram);
    const ProductInfo update = ReadProductInfo(udiskRoot + "\\" + kProgramName);
    platform::DebugOut("Vantrel: installed \"%s\" %s, update \"%s\" %s\r\n", installed.name.c_str(),
                       installed.version.c_str(), update.name.c_str(), update.version.c_str());
    if (!SameProduct(installed, update)) {
        platform::MessageBox(kNameMismatch, kPromptTitle, platform::MB_OK);
    } else {
        if (!CopyUpdateFiles(udiskRoot, update.name))
            return UpdateEnd::CopyFailed;
        platform::MessageBox(kUpgraded, kPromptTitle, platform::MB_OK);
    }
    if (stop)
        return UpdateEnd::Stopped;
    if (!platform::StartProgram(kInstalledProgram)) {
        platform::DebugOut("Vantrel: cannot start %s\r\n", kInstalledProgram);
        return UpdateEnd::RestartFailed;
    }
    platform::Sleep(kRestartWaitMs);
    return UpdateEnd::Restarted;
}

} // namespace updater
