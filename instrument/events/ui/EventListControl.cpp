#include "instrument/events/ui/EventListControl.h"

#include "instrument/acquisition/TraceData.h"
#include "instrument/config/LanguageTable.h"
#include "instrument/display/TraceScale.h"
#include "instrument/events/EventRows.h"
#include "instrument/screens/Bitmaps.h"
#include "instrument/state/AppState.h"

#include "platform/VirtualKeys.h"

#include "shared/analysis/EventTable.h"

#include <QBitmap>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionViewItem>

namespace {

constexpr int kEventRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;

struct Column {
    const char16_t* key;
    const char16_t* caption;
};
constexpr Column kColumns[4] = {{u"firstColumn", u"序号"},
                                {u"thirdColumn", u"距离(km)"},
                                {u"fourthColumn", u"损耗(dB)"},
                                {u"sixthColumn", u"总损耗(dB)"}};

// White is the icons' mask colour: on a selected row the highlight shows around the drawing.
QIcon EventIcon(int resource, QSize size) {
    QPixmap pixmap = Bitmap(resource).copy(0, 0, size.width(), size.height());
    pixmap.setMask(pixmap.createMaskFromColor(Qt::white));
    return QIcon(pixmap);
}

// The tree view lays its header out from the header's size hint, not from its height.
class EventListHeader : public QHeaderView {
public:
    explicit EventListHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}
    void SetHeight(int height) {
        height_ = height;
        updateGeometry();
    }
    QSize sizeHint() const override {
        QSize hint = QHeaderView::sizeHint();
        if (height_ > 0)
            hint.setHeight(height_);
        return hint;
    }

private:
    int height_ = 0;
};

} // namespace

EventListControl::EventListControl(QWidget* parent, const std::u16string& section, const Layout& layout)
    : QTreeWidget(parent), layout_(layout) {
    setHeader(new EventListHeader(this));
    for (size_t i = 0; i < kIcons.size(); ++i)
        icons_[i] = EventIcon(kIcons[i], layout.iconSize);
    setFocusPolicy(Qt::NoFocus);
    setRootIsDecorated(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setIconSize(layout.iconSize);
    setColumnCount(4);
    const LanguageTable texts(LanguageId, section);
    QStringList headers;
    for (const Column& column : kColumns)
        headers << QString::fromStdU16String(texts.TextOr(column.key, column.caption));
    setHeaderLabels(headers);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Fixed);
    for (int column = 0; column < 4; ++column) {
        setColumnWidth(column, layout.widths[static_cast<size_t>(column)]);
        headerItem()->setTextAlignment(column, Qt::AlignCenter);
    }
}

void EventListControl::Refill(const analysis::EventTable& events, const TraceScale& scale) {
    const TraceData::Samples samples = CurrentTrace().Snapshot();
    const std::vector<EventRow> rows = EventRows(events, scale, *samples, layout_.numberFormat);
    const QSignalBlocker quiet(this);
    clear();
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        auto* item = new QTreeWidgetItem;
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        item->setData(0, kEventRole, row->event);
        item->setData(0, kImageRole, row->image);
        item->setIcon(0, icons_[static_cast<size_t>(row->image)]);
        for (int column = 0; column < 4; ++column) {
            item->setText(column, QString::fromStdString(row->texts[static_cast<size_t>(column)]));
            item->setTextAlignment(column, Qt::AlignCenter);
        }
        insertTopLevelItem(0, item);
    }
}

int EventListControl::EventOf(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->data(0, kEventRole).toInt() : -1;
}

QString EventListControl::Text(int row, int column) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(column) : QString();
}

int EventListControl::Image(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->data(0, kImageRole).toInt() : -1;
}

int EventListControl::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.front());
}

int EventListControl::RowHeight() const {
    // As the item delegate measures a first-column cell, the tallest of a row.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
    option.text = QStringLiteral("0");
    option.icon = icons_[0];
    return style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).height();
}

void EventListControl::SetHeaderHeight(int height) {
    static_cast<EventListHeader*>(header())->SetHeight(height);
    updateGeometries();
}

void EventListControl::HandKey(uint32_t vk, uint32_t message) {
    // The view's own key handling is left out: it takes the focus when it moves, whatever the focus
    // policy, and each key of the keypad would then reach the list a second time. Up and Down move the
    // selection; Left, Right and Enter belong to the trace view.
    if (message != platform::WM_KEYDOWN || (vk != platform::VK_UP && vk != platform::VK_DOWN))
        return;
    const QModelIndex next = moveCursor(vk == platform::VK_UP ? MoveUp : MoveDown, Qt::NoModifier);
    if (next.isValid() && next != currentIndex())
        setCurrentIndex(next);
}
