#pragma once
#include "instrument/app/CPane.h"

// The copy pane.
class CFileCopyBody : public CPane {
public:
    explicit CFileCopyBody(QWidget* parent);
};
