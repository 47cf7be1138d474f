#include "instrument/files/ui/CFileDeleteNav.h"

#include "instrument/files/TraceStorage.h"
#include "instrument/files/ui/CFileReadBody.h"
#include "instrument/files/ui/FileListControl.h"
#include "instrument/files/ui/FileMessages.h"
#include "instrument/files/ui/PanelTrace.h"
#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"

#include "platform/Files.h"

#include <algorithm>

namespace {

constexpr const char16_t* kNotDeletedEn = u"The file could not be deleted.";
constexpr const char16_t* kNotDeletedCh = u"文件未能删除。";

} // namespace

CFileDeleteNav::CFileDeleteNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kFileDeleteNav, u"FileDelete_nav",
                {u"删除单项", u"删除全部", u"切换路径", u"返　回"}),
      screens_(screens) {
    const LanguageTable texts(LanguageId, u"FileDelete_nav");
    deleteAll_ = MessageText(texts, u"message_IsDeAll");
    deleted_ = MessageText(texts, u"message_DeleteSuccess");
    notDeleted_ = MessageText(texts, u"message_DeleteFalse", kNotDeletedEn, kNotDeletedCh);
}

void CFileDeleteNav::OnSlot(int slot) {
    switch (slot) {
    case 0:
        DeleteSelected();
        break;
    case 1:
        DeleteAll();
        break;
    case 2:
        screens_.FileList().Storage().Toggle();
        screens_.FileList().Refill();
        break;
    default:
        OnEscape();
    }
}

void CFileDeleteNav::OnEscape() {
    screens_.Show(*this, ScreenSwitch::Screen::FileOperation);
}

bool CFileDeleteNav::event(QEvent* event) {
    TracePanelName(*event, "CFileCopyNav\r\n");
    return CNavPanel::event(event);
}

bool CFileDeleteNav::PlaceReady() {
    CFileReadBody& body = screens_.FileList();
    if (body.Storage().Location() == kUsbDisk && !body.Storage().UsbReady()) {
        body.Refill();
        return false;
    }
    return true;
}

void CFileDeleteNav::DeleteSelected() {
    if (!PlaceReady())
        return;
    CFileReadBody& body = screens_.FileList();
    FileListControl& list = body.List();
    const int row = list.SelectedRow();
    const TraceFileRow* file = list.File(row);
    if (!file)
        return;
    if (!platform::DeleteFile(file->path)) {
        // The list shows what is really there.
        body.Refill();
        list.SelectRow(row);
        ShowFileMessage(notDeleted_);
        return;
    }
    list.RemoveRow(row);
    list.SelectRow(std::min(row, list.RowCount() - 1));
    list.setFocus(Qt::OtherFocusReason);
    ShowFileMessage(deleted_);
}

void CFileDeleteNav::DeleteAll() {
    if (!PlaceReady())
        return;
    if (ShowFileMessage(deleteAll_, platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
        return;
    CFileReadBody& body = screens_.FileList();
    const DeleteCount count = DeleteTraceFiles(body.Storage().Location());
    body.Refill();
    if (count.failed > 0)
        ShowFileMessage(notDeleted_);
    else if (count.deleted > 0)
        ShowFileMessage(deleted_);
}
