#pragma once
#include "instrument/app/CPane.h"

// The window shown while a test measures.
class CAutoTestWaitDlg : public CPane {
public:
    explicit CAutoTestWaitDlg(QWidget* parent);
};
