#pragma once
#include "platform/MessageBox.h"

#include <QPointer>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

class QMessageBox;
class QWidget;

namespace platform {

struct ShownMessage {
    std::u16string text;
    std::u16string title;
    uint32_t flags;
    int answer;
};

// Message boxes as Qt dialogs, owned by the program's main window. A script may answer them: an
// answer given while a box is open closes it; one given before waits for the next box.
class QtMessageBoxService : public MessageBoxService {
public:
    int Show(const std::u16string& text, const std::u16string& title, uint32_t flags) override;

    void SetOwner(QWidget* owner) { owner_ = owner; }
    // IDOK, IDYES or IDNO.
    void Answer(int answer);
    bool BoxOpen() const { return !box_.isNull(); }
    std::vector<ShownMessage> Shown();

private:
    int ShowOnUiThread(const std::u16string& text, const std::u16string& title, uint32_t flags);

    QPointer<QWidget> owner_;
    QPointer<QMessageBox> box_;
    std::deque<int> answers_;
    std::mutex shownMutex_;
    std::vector<ShownMessage> shown_;
};

} // namespace platform
