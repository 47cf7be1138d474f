#include "instrument/files/ui/CFileSaveBody.h"

#include "instrument/config/LanguageTable.h"
#include "instrument/config/SettingsKeys.h"
#include "instrument/files/FileNames.h"
#include "instrument/files/TraceStorage.h"
#include "instrument/screens/PanelKeyEvent.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"

#include "platform/Clock.h"
#include "platform/InputPanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace {

constexpr const char16_t* kSection = u"FileSave_body";
constexpr int kBusyMs = 10;

} // namespace

CFileSaveBody::CFileSaveBody(QWidget* parent)
    : CPane(parent, dlg::kFileSaveBody, kSection, u"top_savefile", u"保存文件"), name_(new QLineEdit(this)),
      storage_(this, kSection, kInternalFlash) {
    const LanguageTable texts(LanguageId, kSection);
    const auto text = [&](const char16_t* key) {
        return QString::fromStdU16String(texts.TextOr(key, settings::kMissingText));
    };
    auto* nameCaption = new QLabel(text(u"inputfilename"), this);
    nameCaption->setGeometry(12, 36, 296, 20);
    name_->setGeometry(12, 58, 296, 26);
    name_->setFocusPolicy(Qt::TabFocus);
    auto* placeCaption = new QLabel(text(u"pathsave"), this);
    placeCaption->setGeometry(12, 104, 296, 20);
    storage_.Place(24, 128, 22, 24);
}

void CFileSaveBody::Open() {
    name_->setText(QString::fromStdString(DefaultFileName(platform::GetLocalTime())));
    editing_ = false;
    FocusName();
}

std::string CFileSaveBody::Name() const {
    return name_->text().toStdString();
}

void CFileSaveBody::FocusName() {
    name_->setFocus(Qt::OtherFocusReason);
    name_->selectAll();
}

void CFileSaveBody::ToggleNameEditing() {
    editing_ = !editing_;
    if (editing_)
        FocusName();
    // The name is typed on the on-screen keyboard where the keypad has no letters.
    platform::ShowInputPanel(editing_);
}

void CFileSaveBody::SetBusy() {
    busy_ = true;
    QTimer::singleShot(kBusyMs, this, [this] { busy_ = false; });
}

bool CFileSaveBody::event(QEvent* event) {
    return event->type() == PanelKeyEvent::kType || CPane::event(event);
}
