#include "instrument/files/ui/FileMessages.h"

#include "instrument/config/SettingsKeys.h"
#include "instrument/files/TraceStorage.h"
#include "instrument/state/AppState.h"

#include "platform/DebugOut.h"

int ShowFileMessage(const std::u16string& text, uint32_t flags) {
    return platform::MessageBox(text, MessageTitle, flags);
}

std::u16string MessageText(const LanguageTable& texts, const std::u16string& key, const char16_t* english,
                           const char16_t* chinese) {
    return english ? texts.TextOrOwn(key, english, chinese) : texts.TextOr(key, settings::kMissingText);
}

bool UsbDiskReady(const std::u16string& noDisk, const std::u16string& noFolder) {
    UsbDiskError error = UsbDiskError::None;
    if (CheckUsbDisk(&error))
        return true;
    platform::DebugOut("USB disk: %s\r\n", Describe(error));
    ShowFileMessage(error == UsbDiskError::NoDisk ? noDisk : noFolder);
    return false;
}
