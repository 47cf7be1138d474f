#pragma once
#include "instrument/state/ResourceIds.h"
#include <QWidget>

// The shutdown picture over the whole screen. It has no keys.
class CCloseBack : public QWidget {
public:
    explicit CCloseBack(QWidget* parent);
    int Resource() const { return dlg::kCloseBack; }
};
