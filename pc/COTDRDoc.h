#pragma once
#include <QString>

class COTDRView;

// The document: holds no trace of its own, it opens a file into the view for the command line and the
// recent-files list.
class COTDRDoc {
public:
    static constexpr const char16_t* kUnreadable = u"错误文件，无法读取！";

    explicit COTDRDoc(COTDRView& view) : view_(view) {}
    // True when the view took the file; otherwise the document's message was shown.
    bool OnOpenDocument(const QString& path);

private:
    COTDRView& view_;
};
