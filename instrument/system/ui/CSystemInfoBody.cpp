#include "instrument/system/ui/CSystemInfoBody.h"

#include "instrument/state/ResourceIds.h"

CSystemInfoBody::CSystemInfoBody(QWidget* parent)
    : CPane(parent, dlg::kSystemInfoBody, u"systemInfo_body", u"copyright", u"系统信息") {}
