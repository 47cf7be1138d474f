#include "instrument/app/CSystemSetBody.h"

CSystemSetBody::CSystemSetBody(QWidget* parent)
    : CPane(parent, 162, u"systemset_body", u"top_systemset", u"系统设置") {}
