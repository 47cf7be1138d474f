#include "instrument/app/CFileCopyBody.h"

CFileCopyBody::CFileCopyBody(QWidget* parent)
    : CPane(parent, 152, u"FileCopy_body", u"top_copyfile", u"复制文件") {}
