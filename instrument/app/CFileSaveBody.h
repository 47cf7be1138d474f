#pragma once
#include "instrument/app/CPane.h"

// The save pane.
class CFileSaveBody : public CPane {
public:
    explicit CFileSaveBody(QWidget* parent);
};
