#pragma once
#include <QDialog>

class QLabel;

// The updater's only window: the full-screen banner.
class CVantrelDlg : public QDialog {
public:
    explicit CVantrelDlg(QWidget* parent = nullptr);

protected:
    void reject() override {}

private:
    QLabel* banner_;
};
