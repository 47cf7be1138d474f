#include "pc/COTDRApp.h"

#include "pc/CMainFrame.h"

#include "platform/DebugOut.h"
#include "platform/MessageBox.h"

bool COTDRApp::InitInstance(bool onlyInstance, const QString& commandLineFile) {
    if (!onlyInstance) {
        platform::DebugOut("There has been a same software operating now!\r\n");
        platform::MessageBox(kDuplicateStart, kPromptCaption, platform::MB_OK);
        return false;
    }
    frame_ = new CMainFrame;
    if (!commandLineFile.isEmpty())
        frame_->OpenDocument(commandLineFile);
    frame_->show();
    return true;
}

COTDRApp::~COTDRApp() {
    delete frame_;
}
