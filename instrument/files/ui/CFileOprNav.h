#pragma once
#include "instrument/screens/CNavPanel.h"
#include "instrument/screens/ScreenSwitch.h"

#include <string>

// The file menu: the save, open, delete and copy screens.
class CFileOprNav : public CNavPanel {
public:
    CFileOprNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;
    bool event(QEvent* event) override;

private:
    void ShowFileList(ScreenSwitch::Screen screen, const std::u16string& title, const std::u16string& path);

    ScreenSwitch& screens_;
    std::u16string readTitle_;
    std::u16string deleteTitle_;
    std::u16string readPath_;
    std::u16string deletePath_;
};
