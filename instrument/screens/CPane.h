#pragma once
#include <QWidget>
#include <string>

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

private:
    int resource_;
    QLabel* title_ = nullptr;
};
