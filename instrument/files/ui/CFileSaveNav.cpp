#include "instrument/files/ui/CFileSaveNav.h"

#include "instrument/files/FileNames.h"
#include "instrument/files/TraceStorage.h"
#include "instrument/files/ui/CFileSaveBody.h"
#include "instrument/files/ui/FileMessages.h"
#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"

#include "platform/DebugOut.h"
#include "platform/TextCodec.h"

namespace {

constexpr const char16_t* kInvalidNameEn =
    u"This name cannot be used. A file name has at most 64 characters, none of \\ / : * ? \" < > | "
    u"or control characters and no \"..\", and does not begin or end with a blank or a dot.";
constexpr const char16_t* kInvalidNameCh =
    u"不能使用该文件名。文件名最多64个字符，不能含有 \\ / : * ? \" < > | 、控制字符或“..”，"
    u"也不能以空格或点开头或结尾。";
constexpr const char16_t* kSaveFailedEn =
    u"The trace could not be saved. Nothing was written; check the storage and save again.";
constexpr const char16_t* kSaveFailedCh = u"曲线未能保存，未写入任何文件。请检查存储器后重新保存。";

} // namespace

CFileSaveNav::CFileSaveNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kFileSaveNav, u"FileSave_nav", {u"保存", u"切换路径", u"编辑名称", u"返回"}),
      screens_(screens) {
    const LanguageTable texts(LanguageId, u"FileSave_nav");
    withoutName_ = MessageText(texts, u"message_withoutname");
    nameTaken_ = MessageText(texts, u"message_namehaved");
    invalidName_ = MessageText(texts, u"message_invalidname", kInvalidNameEn, kInvalidNameCh);
    saveFailed_ = MessageText(texts, u"message_savefalse", kSaveFailedEn, kSaveFailedCh);
    const LanguageTable writer(LanguageId, u"otdrOpr");
    writerNoDisk_ = MessageText(writer, u"messagebox_noU");
    writerNoFolder_ = MessageText(writer, u"messagebox_copyfalse");
}

void CFileSaveNav::OnSlot(int slot) {
    CFileSaveBody& body = screens_.FileSave();
    switch (slot) {
    case 0:
        Save();
        break;
    case 1:
        body.Storage().Toggle();
        break;
    case 2:
        body.ToggleNameEditing();
        break;
    default:
        OnEscape();
    }
}

void CFileSaveNav::OnEscape() {
    screens_.Show(*this, ScreenSwitch::Screen::Main);
}

bool CFileSaveNav::Accepts(const std::string& name, int location) const {
    FileNameError error = FileNameError::None;
    if (!CheckFileName(name, &error)) {
        platform::DebugOut("file name refused: %s\r\n", Describe(error));
        ShowFileMessage(error == FileNameError::Empty ? withoutName_ : invalidName_);
        return false;
    }
    const std::string fileName = name + ".st";
    if (NameTaken(location, fileName)) {
        ShowFileMessage(platform::Utf8ToUtf16(fileName) + nameTaken_);
        return false;
    }
    return true;
}

void CFileSaveNav::Save() {
    CFileSaveBody& body = screens_.FileSave();
    if (body.Busy())
        return;
    body.SetBusy();
    const std::string name = body.Name();
    const int location = body.Storage().Location();
    if (!Accepts(name, location))
        return;
    SaveError error = SaveError::None;
    if (!WriteTrace(name, location, &error)) {
        platform::DebugOut("save failed: %s\r\n", Describe(error));
        ShowFileMessage(error == SaveError::NoUsbDisk  ? writerNoDisk_
                        : error == SaveError::NoFolder ? writerNoFolder_
                                                       : saveFailed_);
        return;
    }
    screens_.Show(*this, ScreenSwitch::Screen::Main);
}
