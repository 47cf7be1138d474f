#include "instrument/app/CAutoTestWaitDlg.h"

CAutoTestWaitDlg::CAutoTestWaitDlg(QWidget* parent)
    : CPane(parent, 104, u"autotestwait", u"static_wait", u"正在测试，请稍候……") {}
