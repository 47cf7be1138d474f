#include "instrument/files/ui/PanelTrace.h"

#include "instrument/screens/PanelKeyEvent.h"

#include "platform/DebugOut.h"
#include "platform/VirtualKeys.h"

void TracePanelName(const QEvent& event, const char* name) {
    if (event.type() == PanelKeyEvent::kType &&
        static_cast<const PanelKeyEvent&>(event).Message() == platform::WM_KEYDOWN)
        platform::DebugOut("%s", name);
}
