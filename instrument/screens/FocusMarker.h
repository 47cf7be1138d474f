#pragma once
#include <QWidget>

// A frame in the highlight colour around whichever control of a pane has the keyboard focus, so a
// focused list or edit never looks like an unfocused one. It takes no input and draws only the frame.
class FocusMarker : public QWidget {
public:
    static constexpr int kWidth = 2;

    explicit FocusMarker(QWidget* pane);
    // The control framed now; null when no control of the pane has the focus.
    const QWidget* Target() const { return target_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Follow(QWidget* focused);

    QWidget* pane_;
    QWidget* target_ = nullptr;
};
