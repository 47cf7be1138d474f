#include "instrument/app/CHelpOTDR.h"

CHelpOTDR::CHelpOTDR(QWidget* parent) : CPane(parent, 106, u"helpOtdr", u"top_help", u"帮助") {}
