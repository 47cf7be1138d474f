#pragma once
#include "instrument/screens/CPane.h"

#include <functional>

class QLineEdit;

// The invalid-distance pane, over the whole screen; it keeps its own captions.
class CSetInvalidMeterBody : public CPane {
public:
    explicit CSetInvalidMeterBody(QWidget* parent);
    // The edit from the current invalid distance, shown over everything.
    void Open();
    // The typed distance into the settings file and the engine's next test; 0 when it cannot be written.
    int Store();
    // The pane's own OK (store, then close) and cancel (close only).
    void Accept();
    void Cancel();
    // Called when the pane's own OK or cancel has hidden it.
    void SetOnClosed(std::function<void()> closed) { closed_ = std::move(closed); }
    QLineEdit* Edit() const { return edit_; }

private:
    void Close();

    QLineEdit* edit_;
    std::function<void()> closed_;
};
