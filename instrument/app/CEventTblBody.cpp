#include "instrument/app/CEventTblBody.h"

CEventTblBody::CEventTblBody(QWidget* parent)
    : CPane(parent, 153, u"EventTbl_body", u"top_evettbl", u"事件表") {}

void CEventTblBody::Refill(const EventTable&, const TraceScale&) {}
