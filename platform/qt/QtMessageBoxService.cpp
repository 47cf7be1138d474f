#include "platform/qt/QtMessageBoxService.h"

#include "platform/qt/UiThread.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTextLayout>
#include <QTimer>
#include <algorithm>

namespace platform {
namespace {

bool IsQuestion(uint32_t flags) {
    return (flags & 0xF) == MB_YESNO;
}

QString Wrapped(const QString& text, const QFont& font, int width) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << paragraph.mid(line.textStart(), line.textLength()).trimmed();
        }
        layout.endLayout();
        if (paragraph.isEmpty())
            lines << QString();
    }
    return lines.join(QLatin1Char('\n'));
}

void Press(QMessageBox& box, int answer) {
    const QMessageBox::StandardButton button = answer == IDYES  ? QMessageBox::Yes
                                               : answer == IDNO ? QMessageBox::No
                                                                : QMessageBox::Ok;
    if (QAbstractButton* target = box.button(button))
        target->click();
    else if (QAbstractButton* fallback = box.button(QMessageBox::Ok))
        fallback->click();
}

} // namespace

int QtMessageBoxService::Show(const std::u16string& text, const std::u16string& title, uint32_t flags) {
    int answer = IDOK;
    SendToUiThread([&] { answer = ShowOnUiThread(text, title, flags); });
    std::lock_guard lock(shownMutex_);
    shown_.push_back(ShownMessage{text, title, flags, answer});
    return answer;
}

int QtMessageBoxService::ShowOnUiThread(const std::u16string& text, const std::u16string& title,
                                        uint32_t flags) {
    const bool question = IsQuestion(flags);
    if (closing_)
        return question ? IDNO : IDOK;
    QMessageBox box(owner_);
    box.setWindowTitle(QString::fromStdU16String(title));
    // The box sizes itself to the screen, which on a desktop or headless is wider than the instrument's
    // own 320 pixels: the text is broken into lines that fit the owner beside the icon.
    box.setText(
        owner_ ? Wrapped(QString::fromStdU16String(text), box.font(), std::max(120, owner_->width() - 110))
               : QString::fromStdU16String(text));
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
    box.setStandardButtons(question ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok);
    if (!answers_.empty()) {
        const int queued = answers_.front();
        answers_.pop_front();
        QTimer::singleShot(0, &box, [&box, queued] { Press(box, queued); });
    } else if (onUnanswered_) {
        // The watch that was on when the box opened holds for it, whatever comes later.
        // Precise: a coarse timer may fire some percent early, and the bound is a promise.
        QTimer::singleShot(unansweredMs_, Qt::PreciseTimer, &box,
                           [callback = onUnanswered_, text] { callback(text); });
    }
    open_.emplace_back(&box);
    if (onOpened_)
        onOpened_();
    const int result = box.exec();
    open_.erase(std::find(open_.begin(), open_.end(), &box));
    if (question)
        return result == QMessageBox::Yes ? IDYES : IDNO;
    return IDOK;
}

void QtMessageBoxService::Answer(int answer) {
    if (open_.empty()) {
        answers_.push_back(answer);
        return;
    }
    Press(*open_.back(), answer);
}

bool QtMessageBoxService::BoxOpen() const {
    return !open_.empty();
}

void QtMessageBoxService::WatchUnanswered(int ms, std::function<void(const std::u16string&)> onUnanswered) {
    unansweredMs_ = ms;
    onUnanswered_ = std::move(onUnanswered);
}

void QtMessageBoxService::CloseAll() {
    closing_ = true;
    for (const QPointer<QMessageBox>& box : open_)
        Press(*box, IDNO);
}

std::vector<ShownMessage> QtMessageBoxService::Shown() {
    std::lock_guard lock(shownMutex_);
    return shown_;
}

} // namespace platform
