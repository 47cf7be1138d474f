#pragma once
#include "instrument/screens/CPane.h"

// The window shown while a test measures.
class CAutoTestWaitDlg : public CPane {
public:
    explicit CAutoTestWaitDlg(QWidget* parent);
};
