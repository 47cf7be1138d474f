#include "instrument/system/ui/CHelpOTDR.h"

#include "instrument/state/ResourceIds.h"

CHelpOTDR::CHelpOTDR(QWidget* parent) : CPane(parent, dlg::kHelpOTDR, u"helpOtdr", u"top_help", u"帮助") {}
