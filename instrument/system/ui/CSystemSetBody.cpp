#include "instrument/system/ui/CSystemSetBody.h"

#include "instrument/state/ResourceIds.h"

CSystemSetBody::CSystemSetBody(QWidget* parent)
    : CPane(parent, dlg::kSystemSetBody, u"systemset_body", u"top_systemset", u"系统设置") {}
