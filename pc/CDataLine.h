#pragma once
#include "pc/model/TraceModel.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The desktop program's trace view: 630 x 240, the plot (30, 0) - (630, 220), four cursors a, A, B, b,
// driven by the mouse and by the frame's commands.
class CDataLine : public QWidget {
public:
    explicit CDataLine(QWidget* parent = nullptr);
    ~CDataLine() override;

    // Replaces the model with one read from the file; 0, or -1 with the view left empty. Either way the
    // load-finished callback runs.
    int Load(const std::string& path);
    bool HasModel() const { return model_ != nullptr; }
    // The trace, its parameters, scale and measurements; null while the view is empty.
    const pc::TraceModel* Model() const { return model_.get(); }

    // The active cursor to a window column (x - 30); -1 without a model or left of the plot.
    int SetCursor(int x);
    // One column left (-1) or right (+1), then the cursors-moved callback.
    void StepCursor(int step);
    void ChangeMark();
    void HorizontalZoomIn();
    void HorizontalZoomOut();
    void VerticalZoomIn();
    void VerticalZoomOut();
    void ShiftUp();
    void ShiftDown();
    void Restore();
    // Measurement modes: 0 two cursors (Test Average Loss), 1 four cursors (Test Joint Loss).
    void TestAverageLoss();
    void TestJointLoss();
    int Mode() const { return mode_; }

    // The "Distance" texts of the event list's rows, for the event marks; the list owns them.
    void SetEventDistances(std::vector<std::string> distances);
    // A click on an event-list row: cursor A, which gives an edited event its place, to that row's distance.
    void SelectEvent(int row);
    int SelectedEvent() const { return selectedEvent_; }
    void ClearSelectedEvent() { selectedEvent_ = -1; }
    // Cursor A, whichever cursor is active, to the column of a sample: the analysis puts it on the first
    // event.
    void PlaceCursorA(int64_t sample);

    // The label drawn for a cursor (0 a, 1 A, 2 B, 3 b), "A %.3fkm"; empty without a model.
    QString CursorLabel(int cursor) const;

    void OnLoadFinished(std::function<void()> callback) { loadFinished_ = std::move(callback); }
    void OnCursorsMoved(std::function<void()> callback) { cursorsMoved_ = std::move(callback); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Repaints and tells the parent, after a move the user made.
    void CursorsMoved();
    int ActiveX() const;
    void ShowPointer(int x);
    void PaintFrame(QPainter& p) const;
    void PaintTrace(QPainter& p) const;
    void PaintEventMarks(QPainter& p) const;
    void PaintCursors(QPainter& p) const;

    std::unique_ptr<pc::TraceModel> model_;
    int mode_ = 0;
    int selectedEvent_ = -1;
    bool dragging_ = false;
    std::vector<std::string> eventDistances_;
    std::function<void()> loadFinished_;
    std::function<void()> cursorsMoved_;
};
