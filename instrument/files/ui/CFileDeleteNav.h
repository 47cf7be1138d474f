#pragma once
#include "instrument/screens/CNavPanel.h"

#include <string>

class ScreenSwitch;

// The delete panel over the file list: one file, all files of the place, or the other place.
class CFileDeleteNav : public CNavPanel {
public:
    CFileDeleteNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;
    bool event(QEvent* event) override;

private:
    // The file list's place can be worked on; otherwise the list only shows what is there now.
    bool PlaceReady();
    void DeleteSelected();
    void DeleteAll();

    ScreenSwitch& screens_;
    std::u16string deleteAll_;
    std::u16string deleted_;
    std::u16string notDeleted_;
};
