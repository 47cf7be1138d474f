#pragma once
#include "instrument/screens/CPane.h"

// The time and power-off pane.
class CSystemSetBody : public CPane {
public:
    explicit CSystemSetBody(QWidget* parent);
};
