#include "updater/CVantrelDlg.h"

#include <QLabel>
#include <QPixmap>

namespace {
constexpr int kBannerBitmap = 137;
}

CVantrelDlg::CVantrelDlg(QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint) {
    setFixedSize(320, 240);
    move(0, 0);
    banner_ = new QLabel(this);
    banner_->setGeometry(0, 0, 320, 240);
    banner_->setPixmap(QPixmap(QStringLiteral(":/bitmap/%1.png").arg(kBannerBitmap)));
}
