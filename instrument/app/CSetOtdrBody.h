#pragma once
#include "instrument/app/CPane.h"

// The test settings pane.
class CSetOtdrBody : public CPane {
public:
    explicit CSetOtdrBody(QWidget* parent);
    // Checks the values and takes them over into the current parameters; 0 after the warning shown
    // when one is refused.
    int Apply();
    // Enables and greys the fields for the test way selected.
    void EnableFieldsForTestWay();
};
