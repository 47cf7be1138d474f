#pragma once
#include "instrument/config/LanguageTable.h"

#include <QWidget>
#include <array>
#include <cstdint>
#include <string>

class QPushButton;

// The soft-key panel pattern: four 70 x 22 buttons in the slots of F1..F4 of the 23-pixel strip,
// labelled from the panel's language section; a tap and the function key run the same action, and a
// panel acts on key-downs only.
class CNavPanel : public QWidget {
public:
    static constexpr int kSlots = 4;

    // The slots named in `labelled` (bit n for slot n) take their labels from the section; the others,
    // and all of a panel without a section, keep the captions given. A slot outside `used` has no button
    // on this panel: it stays hidden, and neither a tap nor its function key reaches its action.
    CNavPanel(QWidget* parent, int resource, const std::u16string& section,
              const std::array<const char16_t*, kSlots>& captions, unsigned labelled = 0xF,
              unsigned used = 0xF);

    int Resource() const { return resource_; }
    QPushButton* Button(int slot) const { return buttons_[static_cast<size_t>(slot)]; }
    // Runs the action of a slot, as its button or its function key does.
    void RunSlot(int slot);

protected:
    virtual void OnSlot(int slot) = 0;
    // The back action; panels without one ignore Escape.
    virtual void OnEscape() {}
    // Any other key-down; most panels ignore them.
    virtual void OnKey(uint32_t) {}
    // Texts of the panel's section, or the caption given when no language file is chosen.
    std::u16string Text(const std::u16string& key, const std::u16string& caption) const;
    bool event(QEvent* event) override;

private:
    int resource_;
    unsigned used_;
    LanguageTable texts_;
    std::array<QPushButton*, kSlots> buttons_{};
};
