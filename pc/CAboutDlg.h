#pragma once
#include <QDialog>

// The About box: the version and a close button.
class CAboutDlg : public QDialog {
public:
    static constexpr const char* kVersion = "V1.0 130306";
    explicit CAboutDlg(QWidget* parent = nullptr);
};
