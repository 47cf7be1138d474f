#include "pc/CDataLine.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kWidth = 630;
constexpr int kHeight = 240;
constexpr int kLeft = 30;
constexpr int kBottom = 20;
constexpr int kPlotWidth = kWidth - kLeft;
constexpr int kPlotHeight = kHeight - kBottom;
constexpr int kGrabDistance = 5;
const QColor kBackground(255, 255, 210);
const QColor kGrid(128, 128, 128);
const QColor kTrace(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kPurple(128, 0, 128);

// The plot's upward coordinates (origin at its bottom-left) as window pixels.
QPoint Up(int x, int y) {
    return {kLeft + x, kPlotHeight - y};
}

void Line(QPainter& p, int x1, int y1, int x2, int y2) {
    p.drawLine(Up(x1, y1), Up(x2, y2));
}

const char kCursorNames[] = {'a', 'A', 'B', 'b'};

} // namespace

CDataLine::CDataLine(QWidget* parent) : QWidget(parent) {
    setFixedSize(kWidth, kHeight);
    setMouseTracking(true);
    QFont face(QStringLiteral("SimSun"));
    face.setPixelSize(12);
    setFont(face);
}

CDataLine::~CDataLine() = default;

int CDataLine::Load(const std::string& path) {
    model_.reset();
    model_ = pc::TraceModel::Load(path);
    dragging_ = false;
    selectedEvent_ = -1;
    eventDistances_.clear();
    update();
    if (loadFinished_)
        loadFinished_();
    return model_ ? 0 : -1;
}

int CDataLine::SetCursor(int x) {
    const int column = x - kLeft;
    if (!model_ || column < 0 || column >= kPlotWidth)
        return -1;
    model_->Scale().SetCursorColumn(column);
    model_->Measure();
    update();
    return 0;
}

void CDataLine::CursorsMoved() {
    update();
    if (cursorsMoved_)
        cursorsMoved_();
}

void CDataLine::StepCursor(int step) {
    if (!model_)
        return;
    // The last column of the window is the plot's last; the text's 630 would lie outside both.
    const int x = std::max(0, std::min(ActiveX() + step, kWidth - 1));
    if (SetCursor(x) == 0)
        CursorsMoved();
}

void CDataLine::ChangeMark() {
    if (!model_)
        return;
    model_->Scale().ChangeMark(mode_);
    update();
}

void CDataLine::HorizontalZoomIn() {
    if (model_) {
        model_->Scale().HorizontalZoomIn();
        update();
    }
}

void CDataLine::HorizontalZoomOut() {
    if (model_) {
        model_->Scale().HorizontalZoomOut();
        update();
    }
}

void CDataLine::VerticalZoomIn() {
    if (model_) {
        model_->Scale().VerticalZoomIn();
        update();
    }
}

void CDataLine::VerticalZoomOut() {
    if (model_) {
        model_->Scale().VerticalZoomOut();
        update();
    }
}

void CDataLine::ShiftUp() {
    if (model_) {
        model_->Scale().ShiftUp();
        update();
    }
}

void CDataLine::ShiftDown() {
    if (model_) {
        model_->Scale().ShiftDown();
        update();
    }
}

void CDataLine::Restore() {
    if (model_) {
        model_->Scale().Restore();
        update();
    }
}

void CDataLine::TestAverageLoss() {
    if (!model_)
        return;
    mode_ = 0;
    model_->Scale().SetActive(pc::TraceScale::A);
    update();
}

void CDataLine::TestJointLoss() {
    if (!model_)
        return;
    mode_ = 1;
    model_->Scale().SetActive(pc::TraceScale::A);
    update();
}

void CDataLine::SetEventDistances(std::vector<std::string> distances) {
    eventDistances_ = std::move(distances);
    update();
}

void CDataLine::SelectEvent(int row) {
    selectedEvent_ = row;
    if (!model_ || row < 0 || static_cast<size_t>(row) >= eventDistances_.size())
        return;
    const int64_t sample =
        pc::SampleOfDistanceText(eventDistances_[static_cast<size_t>(row)], model_->Scale().KmPerSample());
    if (sample >= 0)
        PlaceCursorA(sample);
}

void CDataLine::PlaceCursorA(int64_t sample) {
    if (!model_)
        return;
    pc::TraceScale& scale = model_->Scale();
    const int active = scale.Active();
    scale.SetActive(pc::TraceScale::A);
    const int placed = SetCursor(kLeft + scale.ColumnOf(sample));
    scale.SetActive(active);
    if (placed == 0)
        CursorsMoved();
}

QString CDataLine::CursorLabel(int cursor) const {
    if (!model_ || cursor < 0 || cursor >= pc::TraceScale::kCursors)
        return {};
    return QString::asprintf("%c %.3fkm", kCursorNames[cursor],
                             model_->Results().positions[static_cast<size_t>(cursor)]);
}

int CDataLine::ActiveX() const {
    const pc::TraceScale& scale = model_->Scale();
    return kLeft + scale.Column(scale.Active());
}

void CDataLine::ShowPointer(int x) {
    if (dragging_ || (model_ && x == ActiveX()))
        setCursor(Qt::SizeHorCursor);
    else
        unsetCursor();
}

void CDataLine::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !model_)
        return;
    const int x = event->position().toPoint().x();
    if (std::abs(x - ActiveX()) > kGrabDistance) {
        if (SetCursor(x) == 0)
            CursorsMoved();
        return;
    }
    dragging_ = true;
    ShowPointer(x);
}

void CDataLine::mouseMoveEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    // A drag that leaves the plot holds the cursor at its edge.
    if (dragging_ && SetCursor(std::clamp(x, kLeft, kWidth - 1)) == 0)
        CursorsMoved();
    ShowPointer(x);
    update();
}

void CDataLine::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_)
        return;
    dragging_ = false;
    ShowPointer(event->position().toPoint().x());
}

void CDataLine::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(font());
    PaintFrame(p);
    if (!model_)
        return;
    PaintTrace(p);
    PaintEventMarks(p);
    PaintCursors(p);
}

void CDataLine::PaintFrame(QPainter& p) const {
    p.fillRect(0, 0, kWidth, kHeight, kBackground);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(kLeft, 0, kPlotWidth - 1, kPlotHeight - 1);
    p.setBrush(Qt::NoBrush);

    // Mask raster operation: the black text and the grey grid keep only the bits they share with
    // what lies beneath.
    p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    const pc::TraceScale* scale = model_ ? &model_->Scale() : nullptr;
    const QString db =
        scale ? QString::asprintf("%.2f dB/", scale->DbPerDivision()) : QString::asprintf("%.1f dB/", 0.0);
    const QString km = scale ? QString::asprintf("%.2f km/", scale->KmPerDivision() / 1000.0)
                             : QString::asprintf("%.1f km/", 0.0);
    const QFontMetrics metrics = p.fontMetrics();
    const int dbWidth = metrics.horizontalAdvance(db);
    p.save();
    p.translate(kLeft / 2, dbWidth + 10);
    p.rotate(-90);
    p.drawText(0, metrics.ascent(), db);
    p.restore();
    p.drawText(kWidth - metrics.horizontalAdvance(km) - 10, kPlotHeight + 1 + metrics.ascent(), km);

    p.setPen(QPen(kGrid, 1, Qt::DotLine));
    const int xDivision = scale ? scale->XDivision() : 25;
    const int yDivision = scale ? scale->YDivision() : 22;
    for (int i = 1; i <= kPlotWidth / xDivision; ++i)
        Line(p, i * xDivision, 1, i * xDivision, kPlotHeight);
    for (int i = 1; i < kPlotHeight / yDivision; ++i)
        Line(p, 0, i * yDivision, kPlotWidth, i * yDivision);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void CDataLine::PaintTrace(QPainter& p) const {
    const pc::TraceScale& scale = model_->Scale();
    const std::span<const uint32_t> samples = model_->Samples();
    // Column 0 is mapped as every other column, so the trace starts where its first sample lies
    // instead of with a stroke down from far above the plot.
    QPolygon line;
    for (int i = 0; i < kPlotWidth; ++i) {
        const int64_t s = scale.SampleAt(i);
        if (!scale.Holds(s))
            break;
        line << Up(i, scale.Row(samples[static_cast<size_t>(s)]));
    }
    p.setPen(kTrace);
    p.drawPolyline(line);

    const bool four = mode_ == 1;
    for (int cursor = 0; cursor < pc::TraceScale::kCursors; ++cursor) {
        const bool shown = four || cursor == pc::TraceScale::A || cursor == pc::TraceScale::B;
        const int c = scale.Column(cursor);
        const int64_t s = scale.Sample(cursor);
        if (!shown || c < 0 || c >= kPlotWidth || !scale.Holds(s))
            continue;
        // A cross far above the plot stays at a bounded row, never an overflowing one.
        const int y = std::clamp(scale.Row(samples[static_cast<size_t>(s)]), 0, 597);
        Line(p, c - 3, y + 3, c + 4, y - 4);
        Line(p, c + 3, y + 3, c - 4, y - 4);
    }
}

void CDataLine::PaintEventMarks(QPainter& p) const {
    const pc::TraceScale& scale = model_->Scale();
    const std::span<const uint32_t> samples = model_->Samples();
    p.setPen(QPen(kRed, 2));
    for (const std::string& distance : eventDistances_) {
        const int64_t s = pc::SampleOfDistanceText(distance, scale.KmPerSample());
        if (!scale.Holds(s))
            continue;
        const int column = scale.ColumnOf(s);
        const int y = static_cast<int>(scale.LevelPixels(samples[static_cast<size_t>(s)]));
        const int base = y + pc::TraceScale::kBaseline + scale.VerticalShift();
        if (column < 0 || column >= kPlotWidth || y < 0 || base - 6 < 0)
            continue;
        Line(p, column, base + 11, column, base - 6);
    }
}

void CDataLine::PaintCursors(QPainter& p) const {
    const pc::TraceScale& scale = model_->Scale();
    const int active = scale.Active();
    const int h = kPlotHeight;
    const auto label = [&](int cursor, int x, int y, const QColor& colour) {
        p.setPen(colour);
        const QPoint at = Up(x, y);
        p.drawText(at.x(), at.y() + p.fontMetrics().ascent(), CursorLabel(cursor));
    };
    // A cursor outside the plot shows nowhere, not in the margins.
    const auto inPlot = [](int c) { return c >= 0 && c < kPlotWidth; };
    if (mode_ == 1) {
        const int c = scale.Column(active);
        if (!inPlot(c))
            return;
        p.setPen(kRed);
        Line(p, c, 0, c, h - 10);
        Line(p, c, h - 10, c - 5, h - 20);
        Line(p, c, h - 10, c + 5, h - 20);
        label(active, c + 1, h - 20, kRed);
        return;
    }
    for (const int cursor : {pc::TraceScale::A, pc::TraceScale::B}) {
        const int c = scale.Column(cursor);
        if (!inPlot(c) || (cursor == pc::TraceScale::A && c == 0))
            continue;
        const bool isActive = cursor == active;
        const QColor colour = isActive ? kRed : kPurple;
        const int top = isActive ? h - 5 : h - 10;
        const int arrow = isActive ? h - 15 : h - 22;
        p.setPen(colour);
        Line(p, c, 0, c, top);
        Line(p, c, top, std::max(0, c - 5), arrow);
        Line(p, c, top, c + 5, arrow);
        label(cursor, c + 1, cursor == pc::TraceScale::A ? h - 22 : h - 32, colour);
    }
}
