#pragma once
#include <QWidget>
#include <string>

class FocusMarker;
class QLabel;

// A body pane: a child dialog placed in the body area (or over the whole screen), with the title line
// of its language section where it has one.
class CPane : public QWidget {
public:
    // titleKey empty: no title line.
    CPane(QWidget* parent, int resource, const std::u16string& section, const std::u16string& titleKey,
          const std::u16string& caption);
    int Resource() const { return resource_; }
    QString Title() const;
    // The frame around the pane's focused control.
    const FocusMarker& Focus() const { return *focus_; }

private:
    int resource_;
    QLabel* title_ = nullptr;
    FocusMarker* focus_;
};
