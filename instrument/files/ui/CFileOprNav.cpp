#include "instrument/files/ui/CFileOprNav.h"

#include "instrument/files/ui/CFileCopyBody.h"
#include "instrument/files/ui/CFileReadBody.h"
#include "instrument/files/ui/CFileSaveBody.h"
#include "instrument/files/ui/FileMessages.h"
#include "instrument/files/ui/PanelTrace.h"
#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"

CFileOprNav::CFileOprNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kFileOprNav, u"FileOpr_nav",
                {u"保存文件", u"读取文件", u"删除文件", u"拷贝文件"}),
      screens_(screens) {
    const LanguageTable texts(LanguageId, u"FileOpr_nav");
    readTitle_ = MessageText(texts, u"top_readfile");
    deleteTitle_ = MessageText(texts, u"top_deletfile");
    readPath_ = MessageText(texts, u"readpath");
    deletePath_ = MessageText(texts, u"deletepath");
}

void CFileOprNav::OnSlot(int slot) {
    switch (slot) {
    case 0:
        screens_.Show(*this, ScreenSwitch::Screen::FileSave);
        screens_.FileSave().Open();
        break;
    case 1:
        ShowFileList(ScreenSwitch::Screen::FileRead, readTitle_, readPath_);
        break;
    case 2:
        ShowFileList(ScreenSwitch::Screen::FileDelete, deleteTitle_, deletePath_);
        break;
    default: {
        CFileCopyBody& copy = screens_.FileCopy();
        if (!copy.UsbReady())
            return;
        screens_.Show(*this, ScreenSwitch::Screen::FileCopy);
        copy.Open();
    }
    }
}

void CFileOprNav::ShowFileList(ScreenSwitch::Screen screen, const std::u16string& title,
                               const std::u16string& path) {
    CFileReadBody& body = screens_.FileList();
    body.SetHeading(title, path);
    screens_.Show(*this, screen);
    body.Refill();
}

void CFileOprNav::OnEscape() {
    screens_.Show(*this, ScreenSwitch::Screen::Main);
}

bool CFileOprNav::event(QEvent* event) {
    TracePanelName(*event, "CFileOprNav\r\n");
    return CNavPanel::event(event);
}
