#pragma once
#include "instrument/state/ResourceIds.h"

#include <QIcon>
#include <QString>
#include <QTreeWidget>
#include <array>
#include <cstdint>
#include <string>

namespace analysis {
class EventTable;
}
class TraceScale;

// The list control of the event screens: four centred columns headed from the screen's language
// section, one row per event with the icon of its type, whole rows selected one at a time. It never
// takes the keyboard focus, so a key reaches it once, as the key its screen relays to it.
class EventListControl : public QTreeWidget {
public:
    struct Layout {
        std::array<int, 4> widths;
        QSize iconSize;
        const char* numberFormat;
    };
    // The icons of the image list, in their order: image 0 non-reflective, 1 reflective, 2 unused.
    static constexpr std::array<int, 3> kIcons = {bmp::kNonReflectiveEvent, bmp::kReflectiveEvent,
                                                  bmp::kUnusedEvent};

    EventListControl(QWidget* parent, const std::u16string& section, const Layout& layout);

    // Deletes all rows and inserts one per event over the current trace, each at the top from the last
    // event to the first. The selection goes with the old rows and nothing is notified.
    void Refill(const analysis::EventTable& events, const TraceScale& scale);
    // The table index of a row's event; -1 for no such row.
    int EventOf(int row) const;
    QString Text(int row, int column) const;
    // The image of a row's icon; -1 for no such row.
    int Image(int row) const;
    // The row of the selected item; -1 when none is selected.
    int SelectedRow() const;
    // A relayed key-down or key-up: Up and Down move the selection by a row.
    void HandKey(uint32_t vk, uint32_t message);
    // How tall a row is drawn in the list's font and icon size, rows or not.
    int RowHeight() const;
    // A header of that height instead of the style's; 0 gives the style's back.
    void SetHeaderHeight(int height);

private:
    Layout layout_;
    std::array<QIcon, kIcons.size()> icons_;
};
