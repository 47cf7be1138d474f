#include "instrument/files/ui/CFileCopyNav.h"

#include "instrument/files/ui/FileMessages.h"
#include "instrument/files/ui/PanelTrace.h"
#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"

CFileCopyNav::CFileCopyNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kFileCopyNav, u"FileCopy_nav", {u"拷贝文件", u"切换窗口", u"全部选中", u"返回"}),
      screens_(screens) {
    const LanguageTable texts(LanguageId, u"FileCopy_nav");
    texts_ = {MessageText(texts, u"messagebox_copyfalse"), MessageText(texts, u"messagebox_copyok")};
}

void CFileCopyNav::OnSlot(int slot) {
    CFileCopyBody& body = screens_.FileCopy();
    switch (slot) {
    case 0:
        body.Copy(texts_, true);
        break;
    case 1:
        body.SwitchActive();
        break;
    case 2:
        body.ToggleSelectAll();
        break;
    default:
        OnEscape();
    }
}

void CFileCopyNav::OnEscape() {
    screens_.FileCopy().ClearSelectAll();
    screens_.Show(*this, ScreenSwitch::Screen::FileOperation);
}

bool CFileCopyNav::event(QEvent* event) {
    TracePanelName(*event, "CFileCopyNav\r\n");
    return CNavPanel::event(event);
}
