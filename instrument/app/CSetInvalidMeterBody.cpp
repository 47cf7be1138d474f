#include "instrument/app/CSetInvalidMeterBody.h"

CSetInvalidMeterBody::CSetInvalidMeterBody(QWidget* parent) : CPane(parent, 110, u"", u"", u"") {
    setGeometry(0, 0, 320, 240);
}
