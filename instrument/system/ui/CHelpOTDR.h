#pragma once
#include "instrument/screens/CPane.h"

// The help pane.
class CHelpOTDR : public CPane {
public:
    explicit CHelpOTDR(QWidget* parent);
};
