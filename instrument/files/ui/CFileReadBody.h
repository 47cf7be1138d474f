#pragma once
#include "instrument/screens/CPane.h"

// The open pane: the trace files of a disk.
class CFileReadBody : public CPane {
public:
    explicit CFileReadBody(QWidget* parent);
};
