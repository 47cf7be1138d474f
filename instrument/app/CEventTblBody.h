#pragma once
#include "instrument/app/CPane.h"

// The event table pane.
class CEventTblBody : public CPane {
public:
    explicit CEventTblBody(QWidget* parent);
};
