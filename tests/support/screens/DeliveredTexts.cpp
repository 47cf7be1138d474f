#include "tests/support/screens/DeliveredTexts.h"

#include "instrument/state/AppState.h"

#include <fstream>
#include <iterator>

void UseDeliveredTexts(const TempRoot& root, int languageId) {
    for (const char* name : {"languageEN.ini", "languageCH.ini"}) {
        std::ifstream in(std::string(DEVICE_DATA_DIR) + "/" + name, std::ios::binary);
        root.Write(std::string("NandFlash/") + name, {std::istreambuf_iterator<char>(in), {}});
    }
    LanguageId = languageId;
}
