#include "instrument/files/ui/CFileReadBody.h"

#include "instrument/config/LanguageTable.h"
#include "instrument/config/SettingsKeys.h"
#include "instrument/files/TraceStorage.h"
#include "instrument/files/ui/FileListControl.h"
#include "instrument/screens/PanelKeyEvent.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"

#include <QLabel>
#include <QRadioButton>

namespace {

constexpr const char16_t* kSection = u"FileRead_body";
constexpr int kPathTop = 22;
constexpr int kLineHeight = 20;
constexpr int kListTop = kPathTop + kLineHeight + 2;

} // namespace

CFileReadBody::CFileReadBody(QWidget* parent)
    : CPane(parent, dlg::kFileReadBody, kSection, u"", u""), heading_(new QLabel(this)),
      path_(new QLabel(this)), storage_(this, kSection, kUsbDisk) {
    const LanguageTable texts(LanguageId, kSection);
    const auto text = [&](const char16_t* key) {
        return QString::fromStdU16String(texts.TextOr(key, settings::kMissingText));
    };
    heading_->setGeometry(0, 0, 320, kLineHeight);
    heading_->setAlignment(Qt::AlignCenter);
    path_->setText(text(u"path"));
    PlacePathLine();
    list_ = new FileListControl(
        this, {text(u"firstColumn"), text(u"secondColumn"), text(u"thirdColumn"), text(u"fourthColumn"), {}},
        {118, 62, 40, 78, 0});
    // The path column is the program's, not the user's.
    list_->setColumnHidden(4, true);
    list_->setGeometry(4, kListTop, 312, 217 - kListTop - 2);
}

void CFileReadBody::PlacePathLine() {
    // The buttons follow the caption, so a longer one moves them instead of being cut.
    const int width = path_->sizeHint().width();
    path_->setGeometry(6, kPathTop, width, kLineHeight);
    storage_.Place(6 + width + 10, kPathTop, kLineHeight, 10);
}

void CFileReadBody::SetHeading(const std::u16string& title, const std::u16string& pathCaption) {
    heading_->setText(QString::fromStdU16String(title));
    path_->setText(QString::fromStdU16String(pathCaption));
    PlacePathLine();
}

QString CFileReadBody::Heading() const {
    return heading_->text();
}

QString CFileReadBody::PathCaption() const {
    return path_->text();
}

void CFileReadBody::Refill() {
    list_->Fill(ListTraceFiles(storage_.Location()));
    list_->SelectRow(0);
    list_->setFocus(Qt::OtherFocusReason);
}

bool CFileReadBody::event(QEvent* event) {
    return event->type() == PanelKeyEvent::kType || CPane::event(event);
}
