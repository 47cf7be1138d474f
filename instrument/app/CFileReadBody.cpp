#include "instrument/app/CFileReadBody.h"

CFileReadBody::CFileReadBody(QWidget* parent) : CPane(parent, 151, u"FileRead_body", u"", u"") {}
