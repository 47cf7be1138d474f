#pragma once
#include <QIcon>
#include <QString>
#include <QTreeWidget>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class EventTable;
class TraceScale;

// One row of the event screens.
struct EventRow {
    int event = 0; // index in the table
    int image = 0; // 1 reflective, 0 non-reflective
    // Number, distance in km, loss in dB ("------" when not measured), cumulative loss in dB.
    std::array<QString, 4> texts;
};

// The rows of the table in ascending position over the samples the table was analysed from; an event
// that cannot be read has no row. numberFormat: how the screen writes the event number.
std::vector<EventRow> EventRows(const EventTable& events, const TraceScale& scale,
                                std::span<const uint32_t> samples, const char* numberFormat);

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
    // The icons of the image list, in their order: 130 non-reflective, 129 reflective, 166.
    static constexpr std::array<int, 3> kIcons = {130, 129, 166};

    EventListControl(QWidget* parent, const std::u16string& section, const Layout& layout);

    // Deletes all rows and inserts one per event over the current trace, each at the top from the last
    // event to the first. The selection goes with the old rows and nothing is notified.
    void Refill(const EventTable& events, const TraceScale& scale);
    // The table index of a row's event; -1 for no such row.
    int EventOf(int row) const;
    QString Text(int row, int column) const;
    // The image of a row's icon; -1 for no such row.
    int Image(int row) const;
    // The row of the selected item; -1 when none is selected.
    int SelectedRow() const;
    // A relayed key-down or key-up: Up and Down move the selection by a row.
    void HandKey(uint32_t vk, uint32_t message);

private:
    Layout layout_;
    std::array<QIcon, kIcons.size()> icons_;
};
