#include "instrument/app/CAutoTestWaitDlg.h"

#include "instrument/state/ResourceIds.h"

CAutoTestWaitDlg::CAutoTestWaitDlg(QWidget* parent)
    : CPane(parent, dlg::kAutoTestWaitDlg, u"autotestwait", u"static_wait", u"正在测试，请稍候……") {}
