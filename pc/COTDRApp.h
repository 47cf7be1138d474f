#pragma once
#include <QString>

class CMainFrame;

// The desktop program's application object: one running instance, the settings key, the main frame and
// the file named on the command line.
class COTDRApp {
public:
    static constexpr const char* kTitle = "OTDR Management Software";
    static constexpr const char16_t* kDuplicateStart = u"There has been a same software operating now!";
    static constexpr const char16_t* kPromptCaption = u"OTDR Prompt Message";
    static constexpr const char* kMutexName = "Morvath Quellin Otdr_TestManager";
    // Where the program's settings (the recent files) are kept.
    static constexpr const char* kRegistryKey = "应用程序向导生成的本地应用程序";

    // onlyInstance: no other instance runs. False when one does (said in a box): no window opens.
    bool InitInstance(bool onlyInstance, const QString& commandLineFile);
    CMainFrame* Frame() const { return frame_; }
    ~COTDRApp();

private:
    CMainFrame* frame_ = nullptr;
};
