#pragma once
#include "instrument/files/TraceStorage.h"

#include <QStringList>
#include <QTreeWidget>
#include <vector>

// A list of trace files, one row per file, whole rows selected: the open and delete screens show the name,
// size, type, date and path of each, the copy screen the name alone. Names are never cut: the name column
// grows with the longest and the list scrolls sideways. Enter and Escape do nothing here.
class FileListControl : public QTreeWidget {
public:
    // One column per header, the first `widths.size()` of a file's texts, at least as wide as given.
    FileListControl(QWidget* parent, const QStringList& headers, const std::vector<int>& widths);

    // The rows of these files, in their order. Rows of files still listed stay as they were, so the
    // refill after one copy inserts one row; nothing is notified and the selection of removed rows goes.
    void Fill(const std::vector<TraceFileRow>& files);
    // One row less, the others as they were.
    void RemoveRow(int row);
    int RowCount() const { return static_cast<int>(files_.size()); }
    // The file of a row; null for no such row.
    const TraceFileRow* File(int row) const;
    QString Text(int row, int column) const;
    // The row of the current selection (the first with several); -1 when none is selected.
    int SelectedRow() const;
    // Selects one row as the only one and makes it current, scrolled into view; nothing for no such row.
    void SelectRow(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTreeWidgetItem* NewItem(const TraceFileRow& file) const;
    void SetTexts(QTreeWidgetItem* item, const TraceFileRow& file) const;
    int NameWidth(const TraceFileRow& file) const;
    void FitNameColumn();

    std::vector<int> widths_;
    std::vector<TraceFileRow> files_;
    // What each row's name needs of the first column.
    std::vector<int> nameWidths_;
};
