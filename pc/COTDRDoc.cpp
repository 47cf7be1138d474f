#include "pc/COTDRDoc.h"

#include "pc/COTDRView.h"

#include "platform/MessageBox.h"

bool COTDRDoc::OnOpenDocument(const QString& path) {
    if (view_.LoadFromDocument(path))
        return true;
    platform::MessageBox(kUnreadable, QString::fromLatin1(COTDRView::kPromptCaption).toStdU16String(),
                         platform::MB_OK);
    return false;
}
