#include "instrument/app/CSystemInfoBody.h"

CSystemInfoBody::CSystemInfoBody(QWidget* parent)
    : CPane(parent, 156, u"systemInfo_body", u"copyright", u"系统信息") {}
