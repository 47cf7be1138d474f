#include "instrument/app/CCloseBack.h"

#include "instrument/screens/Bitmaps.h"
#include "instrument/state/ResourceIds.h"

#include <QLabel>

CCloseBack::CCloseBack(QWidget* parent) : QWidget(parent) {
    setGeometry(0, 0, 320, 240);
    auto* picture = new QLabel(this);
    picture->setGeometry(0, 0, 320, 240);
    picture->setPixmap(Bitmap(bmp::kShutdown));
}
