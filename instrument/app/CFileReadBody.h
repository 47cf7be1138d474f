#pragma once
#include "instrument/app/CPane.h"

// The open pane: the trace files of a disk.
class CFileReadBody : public CPane {
public:
    explicit CFileReadBody(QWidget* parent);
};
