#pragma once
#include "instrument/app/CPane.h"

// The time and power-off pane.
class CSystemSetBody : public CPane {
public:
    explicit CSystemSetBody(QWidget* parent);
};
