#pragma once
#include "instrument/screens/CNavPanel.h"

class ScreenSwitch;

// The curve operation panel: Up and Down shift the trace, or zoom it in the mode F1 or F2 chose.
class CCurveOprNav : public CNavPanel {
public:
    CCurveOprNav(QWidget* parent, ScreenSwitch& screens);
    bool HorizontalMode() const { return horizontal_; }
    bool VerticalMode() const { return vertical_; }

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;
    void OnKey(uint32_t vk) override;
    bool event(QEvent* event) override;

private:
    void Highlight();
    void Leave();

    ScreenSwitch& screens_;
    bool horizontal_ = false;
    bool vertical_ = false;
};
