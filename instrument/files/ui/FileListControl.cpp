#include "instrument/files/ui/FileListControl.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>

namespace {

const std::string& Column(const TraceFileRow& file, int column) {
    const std::string* texts[] = {&file.name, &file.size, &file.type, &file.date, &file.path};
    return *texts[column];
}

bool SameRow(const TraceFileRow& a, const TraceFileRow& b) {
    return a.size == b.size && a.date == b.date && a.path == b.path;
}

} // namespace

FileListControl::FileListControl(QWidget* parent, const QStringList& headers, const std::vector<int>& widths)
    : QTreeWidget(parent), widths_(widths) {
    setFocusPolicy(Qt::TabFocus);
    setRootIsDecorated(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(widths.size() > 1 ? Qt::ElideMiddle : Qt::ElideNone);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setColumnCount(static_cast<int>(widths.size()));
    setHeaderLabels(headers);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Fixed);
    for (size_t column = 0; column < widths.size(); ++column)
        setColumnWidth(static_cast<int>(column), widths[column]);
}

QTreeWidgetItem* FileListControl::NewItem(const TraceFileRow& file) const {
    auto* item = new QTreeWidgetItem;
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    SetTexts(item, file);
    return item;
}

void FileListControl::SetTexts(QTreeWidgetItem* item, const TraceFileRow& file) const {
    for (int column = 0; column < columnCount(); ++column)
        item->setText(column, QString::fromStdString(Column(file, column)));
}

void FileListControl::Fill(const std::vector<TraceFileRow>& files) {
    const QSignalBlocker quiet(this);
    // Both lists come sorted by name, so one pass matches the rows that stay.
    size_t row = 0;
    for (const TraceFileRow& file : files) {
        while (row < files_.size() && files_[row].name < file.name)
            RemoveRow(static_cast<int>(row));
        if (row < files_.size() && files_[row].name == file.name) {
            if (!SameRow(files_[row], file)) {
                SetTexts(topLevelItem(static_cast<int>(row)), file);
                files_[row] = file;
            }
        } else {
            insertTopLevelItem(static_cast<int>(row), NewItem(file));
            files_.insert(files_.begin() + static_cast<std::ptrdiff_t>(row), file);
            nameWidths_.insert(nameWidths_.begin() + static_cast<std::ptrdiff_t>(row), NameWidth(file));
        }
        ++row;
    }
    while (files_.size() > row)
        RemoveRow(static_cast<int>(row));
    FitNameColumn();
}

void FileListControl::RemoveRow(int row) {
    if (row < 0 || row >= RowCount())
        return;
    const QSignalBlocker quiet(this);
    delete takeTopLevelItem(row);
    files_.erase(files_.begin() + row);
    nameWidths_.erase(nameWidths_.begin() + row);
}

int FileListControl::NameWidth(const TraceFileRow& file) const {
    // The item's own margins on both sides of the text, and a little air.
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 4;
    return fontMetrics().horizontalAdvance(QString::fromStdString(file.name)) + margins;
}

void FileListControl::FitNameColumn() {
    int widest = std::max(
        widths_.front(), nameWidths_.empty() ? 0 : *std::max_element(nameWidths_.begin(), nameWidths_.end()));
    // Beside size and date the name takes only the room they leave, shortened in its middle so its
    // start and ".st" stay; alone in its list it grows and the list scrolls sideways.
    int others = 0;
    for (int column = 1; column < columnCount(); ++column)
        others += isColumnHidden(column) ? 0 : columnWidth(column);
    if (others > 0)
        widest = std::min(widest, std::max(widths_.front(), viewport()->width() - others));
    if (columnWidth(0) != widest)
        setColumnWidth(0, widest);
}

const TraceFileRow* FileListControl::File(int row) const {
    return row >= 0 && row < RowCount() ? &files_[static_cast<size_t>(row)] : nullptr;
}

QString FileListControl::Text(int row, int column) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(column) : QString();
}

int FileListControl::SelectedRow() const {
    for (int row = 0; row < topLevelItemCount(); ++row)
        if (topLevelItem(row)->isSelected())
            return row;
    return -1;
}

void FileListControl::SelectRow(int row) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item)
        return;
    setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollToItem(item);
}

void FileListControl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}
