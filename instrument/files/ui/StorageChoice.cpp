#include "instrument/files/ui/StorageChoice.h"

#include "instrument/config/LanguageTable.h"
#include "instrument/config/SettingsKeys.h"
#include "instrument/files/TraceStorage.h"
#include "instrument/files/ui/FileMessages.h"
#include "instrument/state/AppState.h"

#include <QRadioButton>

namespace {

QString Caption(const LanguageTable& texts, const char16_t* key) {
    return QString::fromStdU16String(texts.TextOr(key, settings::kMissingText));
}

} // namespace

StorageChoice::StorageChoice(QWidget* pane, const std::u16string& section, int location)
    : usb_(new QRadioButton(Caption(LanguageTable(LanguageId, section), u"U_disk"), pane)),
      memory_(new QRadioButton(Caption(LanguageTable(LanguageId, section), u"mem_disk"), pane)),
      noDisk_(LanguageTable(LanguageId, u"FileRead_body").TextOr(u"messagebox_noU", settings::kMissingText)),
      location_(location) {
    for (QRadioButton* button : {usb_, memory_}) {
        button->setFocusPolicy(Qt::NoFocus);
        // A tap must not change the place past the disk check.
        button->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    Show();
}

void StorageChoice::Show() {
    usb_->setChecked(location_ == kUsbDisk);
    memory_->setChecked(location_ == kInternalFlash);
}

bool StorageChoice::UsbReady() const {
    return UsbDiskReady(noDisk_, noDisk_);
}

bool StorageChoice::Toggle() {
    if (location_ == kInternalFlash && !UsbReady())
        return false;
    location_ = OtherLocation(location_);
    Show();
    return true;
}

void StorageChoice::Place(int x, int y, int height, int gap) {
    for (QRadioButton* button : {usb_, memory_}) {
        const int width = button->sizeHint().width();
        button->setGeometry(x, y, width, height);
        x += width + gap;
    }
}
