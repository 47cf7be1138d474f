#include "instrument/files/ui/CFileReadNav.h"

#include "instrument/display/ui/CDataLine.h"
#include "instrument/files/TraceStorage.h"
#include "instrument/files/ui/CFileReadBody.h"
#include "instrument/files/ui/FileListControl.h"
#include "instrument/files/ui/FileMessages.h"
#include "instrument/screens/ScreenSwitch.h"
#include "instrument/screens/StatusLine.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"

#include "platform/DevicePath.h"

#include <filesystem>

CFileReadNav::CFileReadNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kFileReadNav, u"FileRead_nav", {u"读取", u"切换路径", u"", u"返回"}, 0xB, 0xB),
      screens_(screens) {
    const LanguageTable texts(LanguageId, u"FileRead_nav");
    selectFile_ = MessageText(texts, u"selectfile");
    falseFile_ = MessageText(texts, u"falsefile");
}

void CFileReadNav::OnSlot(int slot) {
    CFileReadBody& body = screens_.FileList();
    switch (slot) {
    case 0:
        Open();
        break;
    case 1:
        body.Storage().Toggle();
        body.Refill();
        break;
    default:
        OnEscape();
    }
}

void CFileReadNav::OnEscape() {
    screens_.Show(*this, ScreenSwitch::Screen::Main);
}

void CFileReadNav::Open() {
    CFileReadBody& body = screens_.FileList();
    if (body.Storage().Location() == kUsbDisk && !body.Storage().UsbReady()) {
        body.Refill();
        return;
    }
    const TraceFileRow* file = body.List().File(body.List().SelectedRow());
    if (!file) {
        ShowFileMessage(selectFile_);
        return;
    }
    CDataLine& view = screens_.TraceView();
    // The build reads the file only with the flag clear. A failed read leaves the trace that was shown,
    // with what it came from: a measured trace stays one that can be saved, and leaving stays open.
    const bool measured = view.ParametersChanged();
    view.SetParametersChanged(false);
    std::filesystem::path location;
    if (!platform::ResolveInRoot(file->path, location) || view.BuildFromFile(location.string()) != 0) {
        view.SetParametersChanged(measured);
        ShowFileMessage(falseFile_, platform::MB_OK);
        return;
    }
    TraceLoaded = 1;
    screens_.Status().ShowStatus(1, QString::fromStdString(file->name).toStdU16String());
    screens_.Show(*this, ScreenSwitch::Screen::Main);
}
