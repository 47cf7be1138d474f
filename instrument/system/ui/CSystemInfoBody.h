#pragma once
#include "instrument/screens/CPane.h"

// The system information pane.
class CSystemInfoBody : public CPane {
public:
    explicit CSystemInfoBody(QWidget* parent);
};
