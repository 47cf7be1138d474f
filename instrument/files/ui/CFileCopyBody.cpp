#include "instrument/files/ui/CFileCopyBody.h"

#include "instrument/config/SettingsKeys.h"
#include "instrument/files/TraceStorage.h"
#include "instrument/files/ui/FileListControl.h"
#include "instrument/files/ui/FileMessages.h"
#include "instrument/screens/PanelKeyEvent.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"

#include <QPushButton>
#include <QSignalBlocker>

namespace {

constexpr const char16_t* kSection = u"FileCopy_body";
constexpr const char* kHighlight = "QPushButton { background: rgb(255, 204, 151); color: rgb(214, 0, 174); }";
constexpr int kTop = 24;
constexpr int kListWidth = 140;
constexpr int kColumnWidth = 125;
constexpr int kButtonX = 4 + kListWidth + 4;

int LocationOf(CFileCopyBody::Side side) {
    return side == CFileCopyBody::kMemory ? kInternalFlash : kUsbDisk;
}

} // namespace

CFileCopyBody::CFileCopyBody(QWidget* parent)
    : CPane(parent, dlg::kFileCopyBody, kSection, u"top_copyfile", u"拷贝文件") {
    const LanguageTable texts(LanguageId, kSection);
    const auto text = [&](const char16_t* key) {
        return QString::fromStdU16String(texts.TextOr(key, settings::kMissingText));
    };
    struct Part {
        const char16_t* header;
        int listId, x;
        const char* arrow;
        int buttonId, buttonY;
    };
    const Part parts[] = {{u"memcolumn", ctl::kMemoryList, 4, ">>", ctl::kCopyToUsb, 90},
                          {u"usbcolumn", ctl::kUsbList, 320 - 4 - kListWidth, "<<", ctl::kCopyToMemory, 124}};
    for (const Side side : {kMemory, kUsb}) {
        const Part& part = parts[side];
        auto* list = new FileListControl(this, {text(part.header)}, {kColumnWidth});
        list->setGeometry(part.x, kTop, kListWidth, 217 - kTop - 2);
        list->setObjectName(QString::number(part.listId));
        list->installEventFilter(this);
        connect(list, &QTreeWidget::itemSelectionChanged, this, [this, side] { OnSelectionChanged(side); });
        lists_[side] = list;
        auto* button = new QPushButton(QString::fromLatin1(part.arrow), this);
        button->setGeometry(kButtonX, part.buttonY, 320 - 2 * kButtonX, 26);
        button->setObjectName(QString::number(part.buttonId));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, [this] { Copy(own_, false); });
        buttons_[side] = button;
    }
    noDisk_ = texts.TextOr(u"messagebox_noU", settings::kMissingText);
    noFolder_ = texts.TextOr(u"messagebox_nofolder", settings::kMissingText);
    selectFile_ = texts.TextOr(u"messagebox_selectfile", settings::kMissingText);
    own_ = {texts.TextOr(u"messagebox_copyfalse", settings::kMissingText),
            texts.TextOr(u"messagebox_copyok", settings::kMissingText)};
    SetActive(kMemory);
}

bool CFileCopyBody::UsbReady() const {
    return UsbDiskReady(noDisk_, noFolder_);
}

void CFileCopyBody::Open() {
    Fill();
    remembered_ = {0, 0};
    SetActive(kMemory);
    Reselect();
}

void CFileCopyBody::Fill() {
    for (const Side side : {kMemory, kUsb})
        lists_[side]->Fill(ListTraceFiles(LocationOf(side)));
}

void CFileCopyBody::SetActive(Side side) {
    if (side != active_)
        ClearSelectAll();
    active_ = side;
    for (const Side each : {kMemory, kUsb}) {
        buttons_[each]->setEnabled(each == side);
        buttons_[each]->setStyleSheet(each == side ? kHighlight : "");
    }
}

void CFileCopyBody::Reselect() {
    FileListControl& list = *lists_[active_];
    list.setFocus(Qt::OtherFocusReason);
    if (!CopySelectAll)
        list.SelectRow(remembered_[active_]);
}

void CFileCopyBody::SwitchActive() {
    ClearSelectAll();
    SetActive(active_ == kMemory ? kUsb : kMemory);
    Reselect();
}

void CFileCopyBody::ToggleSelectAll() {
    FileListControl& list = *lists_[active_];
    if (CopySelectAll) {
        ClearSelectAll();
        return;
    }
    if (const int row = list.SelectedRow(); row >= 0)
        remembered_[active_] = row;
    CopySelectAll = 1;
    const QSignalBlocker quiet(list);
    // Arrow keys and taps select one row again, which ends select-all.
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    list.selectAll();
}

void CFileCopyBody::ClearSelectAll() {
    if (!CopySelectAll)
        return;
    CopySelectAll = 0;
    FileListControl& list = *lists_[active_];
    const QSignalBlocker quiet(list);
    list.clearSelection();
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.SelectRow(remembered_[active_]);
}

void CFileCopyBody::OnSelectionChanged(Side side) {
    FileListControl& list = *lists_[side];
    if (CopySelectAll && side == active_) {
        // A row chosen by hand: that row alone, select-all ended.
        const int row = list.currentIndex().row();
        CopySelectAll = 0;
        const QSignalBlocker quiet(list);
        list.setSelectionMode(QAbstractItemView::SingleSelection);
        list.SelectRow(row);
    }
    if (const int row = list.SelectedRow(); row >= 0)
        remembered_[side] = row;
}

void CFileCopyBody::Copy(const CopyTexts& texts, bool eachRefilled) {
    if (!UsbReady()) {
        ShowFileMessage(texts.failed);
        return;
    }
    const int from = LocationOf(active_);
    const bool all = CopySelectAll == 1;
    std::string name;
    if (!all) {
        const FileListControl& list = *lists_[active_];
        if (const TraceFileRow* file = list.File(list.SelectedRow()))
            name = file->name;
        else
            ShowFileMessage(selectFile_);
    }
    int copied = 0;
    int failed = 0;
    for (const TraceFileRow& file : ListTraceFiles(from)) {
        if (!all && file.name != name)
            continue;
        if (CopyTraceFile(from, file.name)) {
            ++copied;
        } else {
            ++failed;
            ShowFileMessage(texts.failed);
        }
        if (eachRefilled) {
            Fill();
            Reselect();
        }
    }
    if (!eachRefilled) {
        Fill();
        Reselect();
    }
    ClearSelectAll();
    if (copied > 0 && failed == 0)
        ShowFileMessage(texts.done);
}

bool CFileCopyBody::event(QEvent* event) {
    return event->type() == PanelKeyEvent::kType || CPane::event(event);
}

bool CFileCopyBody::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        SetActive(watched == lists_[kUsb] ? kUsb : kMemory);
    return CPane::eventFilter(watched, event);
}
