#include "platform/qt/QtMessageBoxService.h"

#include "platform/qt/UiThread.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>

namespace platform {

int QtMessageBoxService::Show(const std::u16string& text, const std::u16string& title, uint32_t flags) {
    int answer = IDOK;
    SendToUiThread([&] { answer = ShowOnUiThread(text, title, flags); });
    std::lock_guard lock(shownMutex_);
    shown_.push_back(ShownMessage{text, title, flags, answer});
    return answer;
}

int QtMessageBoxService::ShowOnUiThread(const std::u16string& text, const std::u16string& title,
                                        uint32_t flags) {
    QMessageBox box(owner_);
    box_ = &box;
    box.setWindowTitle(QString::fromStdU16String(title));
    box.setText(QString::fromStdU16String(text));
    switch (flags & 0xF0) {
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    const bool question = (flags & 0xF) == MB_YESNO;
    box.setStandardButtons(question ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok);
    if (!answers_.empty()) {
        const int queued = answers_.front();
        answers_.pop_front();
        QTimer::singleShot(0, &box, [this, queued] { Answer(queued); });
    }
    const int result = box.exec();
    box_ = nullptr;
    if (question)
        return result == QMessageBox::Yes ? IDYES : IDNO;
    return IDOK;
}

void QtMessageBoxService::Answer(int answer) {
    if (box_.isNull()) {
        answers_.push_back(answer);
        return;
    }
    const QMessageBox::StandardButton button = answer == IDYES  ? QMessageBox::Yes
                                               : answer == IDNO ? QMessageBox::No
                                                                : QMessageBox::Ok;
    if (QAbstractButton* target = box_->button(button))
        target->click();
    else if (QAbstractButton* fallback = box_->button(QMessageBox::Ok))
        fallback->click();
}

std::vector<ShownMessage> QtMessageBoxService::Shown() {
    std::lock_guard lock(shownMutex_);
    return shown_;
}

} // namespace platform
