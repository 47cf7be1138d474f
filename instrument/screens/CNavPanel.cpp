#include "instrument/screens/CNavPanel.h"

#include "instrument/screens/PanelKeyEvent.h"
#include "instrument/state/AppState.h"

#include "platform/DebugOut.h"
#include "platform/VirtualKeys.h"

#include <QPushButton>

namespace {

constexpr const char16_t* kLabelKeys[CNavPanel::kSlots] = {u"firstbutton", u"secondbutton", u"thirdbutton",
                                                           u"fourthbutton"};

} // namespace

CNavPanel::CNavPanel(QWidget* parent, int resource, const std::u16string& section,
                     const std::array<const char16_t*, kSlots>& captions, unsigned labelled, unsigned used)
    : QWidget(parent), resource_(resource), used_(used), texts_(section.empty() ? -1 : LanguageId, section) {
    setGeometry(0, 217, 320, 23);
    for (int slot = 0; slot < kSlots; ++slot) {
        auto* button = new QPushButton(this);
        button->setGeometry(10 + 77 * slot, 0, 70, 22);
        button->setFocusPolicy(Qt::NoFocus);
        const std::u16string caption = captions[static_cast<size_t>(slot)];
        button->setText(
            QString::fromStdU16String(labelled & (1u << slot) ? Text(kLabelKeys[slot], caption) : caption));
        connect(button, &QPushButton::clicked, this, [this, slot] { RunSlot(slot); });
        if (!(used & (1u << slot)))
            button->setVisible(false);
        buttons_[static_cast<size_t>(slot)] = button;
    }
}

std::u16string CNavPanel::Text(const std::u16string& key, const std::u16string& caption) const {
    return texts_.TextOr(key, caption);
}

void CNavPanel::RunSlot(int slot) {
    if (slot >= 0 && slot < kSlots && (used_ & (1u << slot)) &&
        buttons_[static_cast<size_t>(slot)]->isEnabled())
        OnSlot(slot);
}

bool CNavPanel::event(QEvent* event) {
    if (event->type() != PanelKeyEvent::kType)
        return QWidget::event(event);
    const auto* key = static_cast<PanelKeyEvent*>(event);
    if (key->Message() != platform::WM_KEYDOWN)
        return true;
    const uint32_t vk = key->VirtualKey();
    if (const char* name = platform::KeyName(vk))
        platform::DebugOut("%s    Nav1-------------\r\n", name);
    if (vk >= platform::VK_F1 && vk <= platform::VK_F4)
        RunSlot(static_cast<int>(vk - platform::VK_F1));
    else if (vk == platform::VK_ESCAPE)
        OnEscape();
    else
        OnKey(vk);
    return true;
}
