#pragma once
#include "instrument/screens/CNavPanel.h"

#include <string>

class ScreenSwitch;

// The save panel: stores the measured trace under the name of the save pane, in its place.
class CFileSaveNav : public CNavPanel {
public:
    CFileSaveNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;

private:
    void Save();
    // Whether the name may be written; each refusal said.
    bool Accepts(const std::string& name, int location) const;

    ScreenSwitch& screens_;
    std::u16string withoutName_;
    std::u16string nameTaken_;
    std::u16string invalidName_;
    std::u16string saveFailed_;
    // The trace writer's own texts: no USB disk, no folder for the traces on it.
    std::u16string writerNoDisk_;
    std::u16string writerNoFolder_;
};
