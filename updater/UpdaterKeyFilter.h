#pragma once
#include <QObject>

// Enter, Escape and V go no further in the updater; every key is traced.
class UpdaterKeyFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
