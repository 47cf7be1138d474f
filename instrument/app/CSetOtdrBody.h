#pragma once
#include "instrument/app/CPane.h"

// The test settings pane.
class CSetOtdrBody : public CPane {
public:
    explicit CSetOtdrBody(QWidget* parent);
};
