#include "instrument/app/CSetOtdrBody.h"

CSetOtdrBody::CSetOtdrBody(QWidget* parent) : CPane(parent, 154, u"setotdr_body", u"", u"") {}
