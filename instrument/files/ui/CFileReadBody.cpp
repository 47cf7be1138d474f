#include "instrument/files/ui/CFileReadBody.h"

#include "instrument/state/ResourceIds.h"

CFileReadBody::CFileReadBody(QWidget* parent)
    : CPane(parent, dlg::kFileReadBody, u"FileRead_body", u"", u"") {}
