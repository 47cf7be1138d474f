#include "instrument/files/ui/CFileCopyBody.h"

#include "instrument/state/ResourceIds.h"

CFileCopyBody::CFileCopyBody(QWidget* parent)
    : CPane(parent, dlg::kFileCopyBody, u"FileCopy_body", u"top_copyfile", u"复制文件") {}
