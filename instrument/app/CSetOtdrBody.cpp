#include "instrument/app/CSetOtdrBody.h"

CSetOtdrBody::CSetOtdrBody(QWidget* parent) : CPane(parent, 154, u"setotdr_body", u"", u"") {}

int CSetOtdrBody::Apply() {
    return 1;
}

void CSetOtdrBody::EnableFieldsForTestWay() {}
