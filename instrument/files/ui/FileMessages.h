#pragma once
#include "instrument/config/LanguageTable.h"

#include "platform/MessageBox.h"

#include <cstdint>
#include <string>

// The message boxes of the file screens, under the program's message title; the answer.
int ShowFileMessage(const std::u16string& text,
                    uint32_t flags = platform::MB_OK | platform::MB_ICONEXCLAMATION);

// A message text of a screen's section, "flase" where the file lacks it; with a text of the program's own
// for keys that older language files lack, in the chosen language.
std::u16string MessageText(const LanguageTable& texts, const std::u16string& key,
                           const char16_t* english = nullptr, const char16_t* chinese = nullptr);

// The USB disk check of a screen, each failure said with that screen's text: true when the disk is ready.
bool UsbDiskReady(const std::u16string& noDisk, const std::u16string& noFolder);
