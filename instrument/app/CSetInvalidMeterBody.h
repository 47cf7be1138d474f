#pragma once
#include "instrument/app/CPane.h"

// The invalid-distance pane, over the whole screen; it keeps its own captions.
class CSetInvalidMeterBody : public CPane {
public:
    explicit CSetInvalidMeterBody(QWidget* parent);
};
