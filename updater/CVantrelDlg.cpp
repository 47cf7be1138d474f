#include "updater/CVantrelDlg.h"

#include "updater/UpdateSteps.h"

#include "platform/DevicePath.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPixmap>
#include <chrono>

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

CVantrelDlg::~CVantrelDlg() {
    if (!worker_.joinable())
        return;
    // A box the worker opens now needs this thread to show it, or to answer it once boxes are closed.
    while (!finished_) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker_.join();
}

void CVantrelDlg::OnInitDialog() {
    const std::string udiskRoot = platform::UsbDiskRoot();
    if (!updater::CheckUpdateSource(udiskRoot))
        return;
    worker_ = std::thread([this, udiskRoot] {
        // Posted, not waited for: the dialog may be ending already and waiting for this thread.
        if (updater::RunUpdate(udiskRoot, stop_) == updater::UpdateEnd::Restarted)
            QCoreApplication::postEvent(this, new QEvent(kUpdaterDone));
        finished_ = true;
    });
}

void CVantrelDlg::Abandon(int exitCode) {
    stop_ = true;
    done(exitCode);
}

bool CVantrelDlg::event(QEvent* event) {
    if (event->type() != kUpdaterDone)
        return QDialog::event(event);
    done(updater::kQuitExitCode);
    return true;
}
