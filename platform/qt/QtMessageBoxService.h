#pragma once
#include "platform/MessageBox.h"

#include <QPointer>
#include <deque>
#include <functional>
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
    bool BoxOpen() const;
    std::vector<ShownMessage> Shown();

    // A box that opens from now on with no answer waiting and is still open after `ms` calls
    // `onUnanswered` with its text, on the UI thread. An empty callback stops the watch for later boxes.
    void WatchUnanswered(int ms, std::function<void(const std::u16string& text)> onUnanswered);
    // Called on the UI thread as each box opens, before it waits for its answer.
    void OnOpened(std::function<void()> callback) { onOpened_ = std::move(callback); }
    // Closes every open box and answers each later one at once, as no front end would: IDNO to a
    // question, IDOK otherwise. For a program on its way out, which no box may hold back.
    void CloseAll();

private:
    int ShowOnUiThread(const std::u16string& text, const std::u16string& title, uint32_t flags);

    QPointer<QWidget> owner_;
    // Innermost last: a box may open while another waits.
    std::vector<QPointer<QMessageBox>> open_;
    std::deque<int> answers_;
    int unansweredMs_ = 0;
    std::function<void(const std::u16string&)> onUnanswered_;
    std::function<void()> onOpened_;
    bool closing_ = false;
    std::mutex shownMutex_;
    std::vector<ShownMessage> shown_;
};

} // namespace platform
