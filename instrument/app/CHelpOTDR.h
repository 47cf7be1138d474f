#pragma once
#include "instrument/app/CPane.h"

// The help pane.
class CHelpOTDR : public CPane {
public:
    explicit CHelpOTDR(QWidget* parent);
};
