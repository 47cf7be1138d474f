#include "instrument/files/ui/CFileSaveBody.h"

#include "instrument/state/ResourceIds.h"

CFileSaveBody::CFileSaveBody(QWidget* parent)
    : CPane(parent, dlg::kFileSaveBody, u"FileSave_body", u"top_savefile", u"保存文件") {}
