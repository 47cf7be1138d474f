#pragma once
#include "instrument/screens/CPane.h"

// The save pane.
class CFileSaveBody : public CPane {
public:
    explicit CFileSaveBody(QWidget* parent);
};
