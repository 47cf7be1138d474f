#include "instrument/display/ui/CDataLine.h"

#include "instrument/acquisition/TestParameters.h"
#include "instrument/acquisition/TraceData.h"
#include "instrument/screens/PanelKeyEvent.h"

#include "platform/DebugOut.h"
#include "platform/MessageBox.h"
#include "platform/VirtualKeys.h"

#include "shared/tracefile/TraceFile.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 180;
constexpr int kXDivision = 25;
constexpr int kYDivision = 20;
const QColor kGrid(90, 90, 90);
const QColor kTrace(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kBar(65, 112, 198);
const QColor kReadout(255, 255, 210);

// The dashed grid with a mask pen: each dash pixel keeps only the bits the grid colour has.
void MaskGrid(QImage& canvas) {
    constexpr int kDash = 4, kGap = 2;
    const QRgb mask = kGrid.rgb();
    const auto dashed = [](int along) { return along % (kDash + kGap) < kDash; };
    for (int i = 1; i <= kWidth / kXDivision; ++i) {
        const int x = i * kXDivision;
        for (int y = 0; y < kHeight; ++y)
            if (dashed(y))
                reinterpret_cast<QRgb*>(canvas.scanLine(y))[x] &= mask;
    }
    for (int i = 1; i < kHeight / kYDivision; ++i) {
        auto* row = reinterpret_cast<QRgb*>(canvas.scanLine(i * kYDivision));
        for (int x = 0; x < kWidth; ++x)
            if (dashed(x))
                row[x] &= mask;
    }
}

} // namespace

CDataLine::CDataLine(QWidget* parent, TraceData& trace, int versionNumber, std::u16string messageTitle)
    : QWidget(parent), trace_(trace), versionNumber_(versionNumber), messageTitle_(std::move(messageTitle)) {
    setGeometry(0, 0, kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont font(QStringLiteral("SimSun"));
    font.setPixelSize(12);
    setFont(font);
}

namespace {

// The current test parameters as the view copies them: item 4's float, never set, gives word 4.
tracefile::ParameterBlock CurrentParameters() {
    return tracefile::ParameterBlock::FromParameters(TestParam.Values(), 0, TestWay.TestMode);
}

void DumpParameters(const tracefile::ParameterBlock& block) {
    const char* names[] = {"range",      "m_iWaveLen",    "m_iPulseWidth", "m_iAttenuation",
                           "m_iAvgTime", "m_fRefractive", "m_fCableRatio", "m_fEventThreshold"};
    const auto words = block.Words();
    for (size_t i = 0; i < words.size(); ++i)
        platform::DebugOut("%s:%u\r\n", names[i], static_cast<unsigned>(words[i]));
}

} // namespace

int CDataLine::BuildFromFile(const std::string& hostPath) {
    return Load([&](tracefile::ParameterBlock& block) {
        tracefile::TraceFileContents contents;
        if (tracefile::ReadTraceFile(hostPath, tracefile::ReaderVariant::Instrument, contents) != 0)
            return false;
        trace_.Replace(contents.samples);
        block = contents.block;
        return true;
    });
}

void CDataLine::BuildFromLive() {
    Load([](tracefile::ParameterBlock& block) {
        block = CurrentParameters();
        return true;
    });
}

int CDataLine::Load(const std::function<bool(tracefile::ParameterBlock&)>& readSource) {
    tracefile::ParameterBlock block;
    const bool fromSettings = parametersChanged_;
    if (fromSettings) {
        block = CurrentParameters();
    } else {
        // A source that cannot be read hands nothing over: the trace shown stays, with its model.
        if (!readSource(block))
            return -1;
        DumpParameters(block);
    }
    model_.reset();
    model_ = std::make_unique<TraceModel>(block, kWidth, kHeight, kXDivision, kYDivision);
    lastActive_ = model_->Scale().Active();
    offScreenSide_ = {0, 0};
    if (!fromSettings)
        Analyse();
    // Before a test's first trace has arrived there is nothing to measure yet, and nothing to tell.
    const TraceData::Samples samples = trace_.Snapshot();
    if (!fromSettings || !samples->empty())
        ComputeReadouts();
    update();
    return 0;
}

void CDataLine::ComputeReadouts() {
    const TraceData::Samples samples = trace_.Snapshot();
    if (samples->empty()) {
        platform::MessageBox(u"没有波形显示，无法测量平均损耗", messageTitle_,
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return;
    }
    ComputeReadouts(*samples);
}

void CDataLine::ComputeReadouts(std::span<const uint32_t> samples) {
    distance_ = MutableScale()->Distance();
    loss_ = MutableScale()->Loss(samples);
    attenuation_ = MutableScale()->Attenuation(samples);
}

const analysis::EventTable& CDataLine::Events() const {
    static const analysis::EventTable none;
    return model_ ? model_->Events() : none;
}

void CDataLine::Analyse() {
    model_->Analyse(*trace_.Snapshot(), versionNumber_);
    if (analysed_)
        analysed_();
}

void CDataLine::Reanalyse() {
    if (!model_)
        return;
    Analyse();
    // The readouts follow the trace the test has just delivered.
    const TraceData::Samples samples = trace_.Snapshot();
    if (!samples->empty())
        ComputeReadouts(*samples);
    update();
}

int CDataLine::SetCursorColumn(int column) {
    if (!model_ || column < 0)
        return -1;
    MutableScale()->SetCursorColumn(column);
    ComputeReadouts();
    update();
    return 0;
}

void CDataLine::OnArrow(int direction) {
    if (!model_)
        return;
    const int column =
        std::clamp(MutableScale()->Column(MutableScale()->Active()) + direction * m_iMovePix, 0, kWidth - 1);
    MutableScale()->SetCursorColumn(column);
    ComputeReadouts();
    ++arrowDowns_;
    if (arrowDowns_ > 10)
        m_iMovePix = 10;
    else if (arrowDowns_ > 5)
        m_iMovePix = 4;
    ++redraws_;
    platform::DebugOut("OnPaintTime: %d \r\n", redraws_);
    platform::DebugOut("m_iMovePix = %d>>>\r\n", m_iMovePix);
    update();
}

bool CDataLine::event(QEvent* event) {
    if (event->type() != PanelKeyEvent::kType)
        return QWidget::event(event);
    const auto* key = static_cast<PanelKeyEvent*>(event);
    const uint32_t vk = key->VirtualKey();
    const bool down = key->Message() == platform::WM_KEYDOWN;
    if (vk == platform::VK_LEFT || vk == platform::VK_RIGHT) {
        if (down) {
            OnArrow(vk == platform::VK_LEFT ? -1 : 1);
        } else {
            m_iMovePix = 1;
            arrowDowns_ = 0;
        }
    } else if (vk == platform::VK_RETURN && down && model_) {
        MutableScale()->ToggleActive();
        update();
    }
    return true;
}

void CDataLine::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        SetCursorColumn(event->position().toPoint().x());
}

int CDataLine::Row(uint32_t sample) const {
    const float zoomed = pivot_ + (static_cast<float>(sample) - pivot_) * Scale()->VerticalZoom();
    const int baseline = versionNumber_ == 0 ? 20 : 0;
    return kHeight - 1 - static_cast<int>(zoomed * 0.0023f) - baseline - Scale()->VerticalShift();
}

void CDataLine::PrepareDrawing(std::span<const uint32_t> samples) {
    TraceScale& scale = model_->Scale();
    const int active = scale.Active();
    const int column = scale.Column(active);
    const int64_t sample = scale.Sample(active);
    if (scale.VerticalZoomChanged()) {
        if (sample >= 0 && sample < static_cast<int64_t>(samples.size()))
            pivot_ = static_cast<float>(samples[static_cast<size_t>(sample)]);
    } else if ((column == 0 || column == kWidth - 1) && scale.Step() != scale.FullViewStep() &&
               active == lastActive_) {
        // A cursor that comes back from off screen to the edge is not panned at that drawing.
        const int side = offScreenSide_[static_cast<size_t>(active)];
        const bool cameBack = (column == 0 && side < 0) || (column == kWidth - 1 && side > 0);
        if (!cameBack)
            scale.Pan(column == 0 ? -10 : 10);
    }
    for (int cursor = 0; cursor < 2; ++cursor) {
        const int c = scale.Column(cursor);
        offScreenSide_[static_cast<size_t>(cursor)] = c < 0 ? -1 : (c > kWidth - 1 ? 1 : 0);
    }
    lastActive_ = active;
}

// What every layer of one drawing works with.
struct CDataLine::PaintParameters {
    QImage& canvas;
    QPainter& painter;
    const TraceScale* scale; // null until there is a model
    std::span<const uint32_t> samples;
    QFontMetrics metrics;
};

void CDataLine::paintEvent(QPaintEvent*) {
    // Long lines are one-pixel rectangles and the grid goes straight onto the pixels: the painter
    // spreads a line of many rows over worker threads, and waking them costs more than the drawing.
    QImage canvas(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&canvas);
    painter.setFont(font());
    const TraceData::Samples held = trace_.Snapshot();
    const std::span<const uint32_t> samples(*held);
    if (model_)
        PrepareDrawing(samples); // the drawing may pan the view
    PaintParameters paint{canvas, painter, model_ ? Scale() : nullptr, samples, painter.fontMetrics()};
    PaintGrid(paint);
    if (model_) {
        PaintTrace(paint);
        PaintEventTicks(paint);
    }
    PaintCursors(paint);
    PaintReadouts(paint);
    painter.end();
    QPainter screen(this);
    screen.drawImage(0, 0, canvas);
}

void CDataLine::PaintGrid(PaintParameters& paint) const {
    QPainter& p = paint.painter;
    p.fillRect(0, 0, kWidth, kHeight, Qt::black);
    p.fillRect(1, 1, kWidth - 2, kHeight - 2, Qt::white);
    p.fillRect(0, 0, kWidth, 20, kBar);
    p.setPen(kGreen);
    const QString km = paint.scale ? QString::asprintf("%.3f km/", paint.scale->KmPerDivision() * 0.001)
                                   : QStringLiteral("0.0 km/");
    const QString db = QString::asprintf("%.1f dB/", paint.scale ? paint.scale->DbPerDivision() : 0.0f);
    const QFontMetrics& metrics = paint.metrics;
    p.drawText(QRect(kWidth - metrics.horizontalAdvance(km) - 10, kHeight - 30,
                     metrics.horizontalAdvance(km) + 10, 30),
               Qt::AlignHCenter | Qt::AlignTop, km);
    p.drawText(QRect(0, 20, metrics.horizontalAdvance(db) + 10, 16), Qt::AlignHCenter | Qt::AlignTop, db);
    p.end();
    MaskGrid(paint.canvas);
    p.begin(&paint.canvas);
    p.setFont(font());
    p.setPen(Qt::white);
    p.drawLine(0, kHeight - 1, kWidth, kHeight - 1);
}

void CDataLine::PaintTrace(PaintParameters& paint) const {
    // One sample per column; column 0 is mapped like the others, so the trace starts where it is.
    const TraceScale& scale = *paint.scale;
    paint.painter.setPen(kTrace);
    QPolygon line;
    for (int i = 0; i < kWidth; ++i) {
        const int64_t s = static_cast<int64_t>(scale.FirstSample()) + static_cast<int64_t>(i) * scale.Step();
        if (s >= static_cast<int64_t>(paint.samples.size()))
            break;
        line << QPoint(i, Row(paint.samples[static_cast<size_t>(s)]));
    }
    paint.painter.drawPolyline(line);
}

void CDataLine::PaintEventTicks(PaintParameters& paint) const {
    const int count = Events().GetEventCount();
    if (count < 1 || count > 24)
        return;
    const TraceScale& scale = *paint.scale;
    paint.painter.setPen(kRed);
    for (const analysis::EventRecord& e : Events().Events()) {
        if (e.position >= paint.samples.size() || e.position < scale.FirstSample())
            continue;
        const int column = static_cast<int>((e.position - scale.FirstSample()) / scale.Step());
        const int row = Row(paint.samples[e.position]);
        paint.painter.drawLine(column, row + 10, column, row - 11);
    }
}

void CDataLine::PaintCursors(PaintParameters& paint) const {
    QPainter& p = paint.painter;
    const TraceScale* scale = paint.scale;
    const int active = scale ? scale->Active() : TraceScale::B;
    for (int cursor = 0; cursor < 2; ++cursor) {
        const int x = scale ? scale->Column(cursor) : 0;
        const bool isActive = cursor == active;
        const QColor colour = isActive ? kRed : kGreen;
        p.setPen(colour);
        const int top = isActive ? 24 : 29;
        const int arrow = isActive ? 34 : 39;
        p.fillRect(x, top, 1, kHeight - top, colour);
        p.drawLine(x, top, x - 5, arrow);
        p.drawLine(x, top, x + 5, arrow);
        const QString label =
            scale ? QString::asprintf("%c %.4fkm", cursor == 0 ? 'A' : 'B', scale->Position(cursor))
                  : QString(cursor == 0 ? "A" : "B");
        const int labelTop = cursor == 0 ? 39 : 49;
        p.drawText(QRect(x - 8, labelTop, paint.metrics.horizontalAdvance(label), paint.metrics.height()),
                   Qt::AlignLeft, label);
        p.drawText(QRect(0, cursor == 0 ? 160 : 170, paint.metrics.horizontalAdvance(label) + 20,
                         10 + (cursor == 0 ? 10 : 0)),
                   Qt::AlignHCenter | Qt::AlignTop, label);
    }
}

void CDataLine::PaintReadouts(PaintParameters& paint) const {
    QPainter& p = paint.painter;
    const QRect box(220, 20, 100, 39);
    p.fillRect(box, kReadout);
    p.setPen(kGreen);
    const bool measured = paint.scale != nullptr;
    const QString lines[] = {QString::asprintf("A-B: %.4f km", measured ? distance_ : 0.0),
                             QString::asprintf("A-B: %.4f dB", measured ? loss_ : 0.0),
                             measured ? QString::asprintf("   \\ :%.4f dB/km", attenuation_)
                                      : QStringLiteral("  0.0000 dB/km")};
    int y = 20;
    for (int i = 0; i < 3; ++i) {
        p.drawText(QRect(box.left(), y, box.width(), paint.metrics.height()), Qt::AlignHCenter | Qt::AlignTop,
                   lines[i]);
        y += paint.metrics.height() + (i == 1 ? 1 : 0);
    }
}
