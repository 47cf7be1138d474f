#pragma once
#include "tests/support/TempRoot.h"

// Puts the delivered language files into a device root and chooses a language (0 English, 1 Chinese).
void UseDeliveredTexts(const TempRoot& root, int languageId);
