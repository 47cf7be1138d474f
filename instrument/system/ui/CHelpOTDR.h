#pragma once
#include "instrument/screens/CPane.h"

#include <QUrl>

class QTextBrowser;

// The help pane: the help page of the program's language in a browser under the title line.
class CHelpOTDR : public CPane {
public:
    static constexpr const char* kChinesePage = "\\NandFlash\\HELP_OTDR.htm";
    static constexpr const char* kEnglishPage = "\\NandFlash\\HELP_OTDR_En.htm";

    explicit CHelpOTDR(QWidget* parent);

    // The browser's back, forward and the start page again.
    void Back();
    void Forward();
    void Home();

    QTextBrowser* Browser() const { return browser_; }
    // The page of LanguageId; empty for a language without one.
    QUrl StartPage() const { return start_; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Open();

    QTextBrowser* browser_;
    QUrl start_;
};
