#include "instrument/app/CFileSaveBody.h"

CFileSaveBody::CFileSaveBody(QWidget* parent)
    : CPane(parent, 161, u"FileSave_body", u"top_savefile", u"保存文件") {}
