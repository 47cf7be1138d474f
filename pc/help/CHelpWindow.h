#pragma once

#include <QDialog>
#include <QString>

class QPushButton;
class QTextBrowser;

// OTDR's own help window: the HTML pages of a folder in a browser with Back, Forward and Contents. Without
// the folder's index.htm it shows a page that says where the pages were looked for.
class CHelpWindow : public QDialog {
public:
    explicit CHelpWindow(const QString& folder, QWidget* parent = nullptr);

    bool PagesFound() const { return m_bPagesFound; }
    // Shows the folder's index.htm again (the Contents button).
    void ShowContents();

    QTextBrowser* Browser() const { return m_pBrowser; }
    QPushButton* BackButton() const { return m_pBack; }
    QPushButton* ForwardButton() const { return m_pForward; }
    QPushButton* ContentsButton() const { return m_pContents; }

private:
    QString m_strIndex;
    bool m_bPagesFound = false;
    QTextBrowser* m_pBrowser = nullptr;
    QPushButton* m_pBack = nullptr;
    QPushButton* m_pForward = nullptr;
    QPushButton* m_pContents = nullptr;
};

// The folder of the help pages beside the running program, and the compiled help file's path there.
QString HelpFolder();
QString HelpChmPath();

// The Help command: the compiled help file beside the program when it exists and the desktop has a viewer
// for it, else the own help window (one, raised when already open). True when help pages are shown; false
// when the window had to say the pages are missing.
bool OpenHelp(QWidget* parent);
