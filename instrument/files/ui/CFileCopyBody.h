#pragma once
#include "instrument/screens/CPane.h"

// The copy pane.
class CFileCopyBody : public CPane {
public:
    explicit CFileCopyBody(QWidget* parent);
};
