#pragma once
#include <QWidget>

// The shutdown picture over the whole screen. It has no keys.
class CCloseBack : public QWidget {
public:
    explicit CCloseBack(QWidget* parent);
    int Resource() const { return 109; }
};
