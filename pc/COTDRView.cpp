#include "pc/COTDRView.h"

#include "pc/CAdMoiDlg.h"
#include "pc/CDataLine.h"

#include "platform/MessageBox.h"
#include "platform/Numbers.h"
#include "platform/qt/NumberEdit.h"
#include "shared/tracefile/RangeGeometry.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

namespace {

constexpr const char* kWaveFormCaption = "OTDR Test Wave Form";
constexpr const char16_t* kFalseFile = u"False file, can\u2019t read!";
constexpr const char* kNoTrace = "没有波形显示，无法测量平均损耗";
constexpr int kRepaintMs = 10;
constexpr int kValueScale = 100000;

// Label, then the value's left edge and width, in the measurement panel's two columns.
struct MeasurePlace {
    const char* label;
    int x, y;
};
constexpr MeasurePlace kMeasures[] = {{"(A-B)Loss:", 10, 20},
                                      {"(A-B)Distance:", 330, 20},
                                      {"AverageLoss:", 10, 46},
                                      {"JointLoss:", 330, 46},
                                      {"", 10, 72},
                                      {"", 330, 72}};
// The keys of the unlabelled a-A and B-b values.
constexpr const char* kSideKeys[] = {"a-A", "B-b"};

constexpr const char* kParameters[] = {"Range:",      "WaveLength:",    "PulseWidth:",   "Attenuation:",
                                       "Refractive:", "OpticalCoeff.:", "AverageTimes:", "Threshold:"};
constexpr const char* kButtons[] = {"Event Analysis", "Add Event", "Modify Event", "Delete Event"};
constexpr const char* kColumns[] = {"No.", "EventType", "Distance", "JoinLoss"};
constexpr int kColumnWidths[] = {50, 200, 200, 200};

QString Key(const char* label) {
    QString key = QString::fromLatin1(label);
    if (key.endsWith(QLatin1Char(':')))
        key.chop(1);
    return key;
}

double Value(int32_t word) {
    return static_cast<double>(word) / kValueScale;
}

} // namespace

COTDRView::COTDRView(QWidget* parent)
    : QWidget(parent), caption_(new QLabel(QString::fromLatin1(kWaveFormCaption), this)),
      trace_(new CDataLine(this)), threshold_(new QLineEdit(this)), events_(new QTableWidget(0, 4, this)),
      repaint_(new QTimer(this)) {
    auto* measure = new QGroupBox(this);
    measure->setGeometry(15, 8, 630, 100);
    for (size_t i = 0; i < std::size(kMeasures); ++i) {
        const MeasurePlace& place = kMeasures[i];
        auto* caption = new QLabel(QString::fromLatin1(place.label), measure);
        caption->setGeometry(place.x, place.y, 110, 22);
        auto* value = new QLabel(measure);
        value->setGeometry(place.x + (*place.label ? 112 : 0), place.y, 170, 22);
        const QString key = *place.label ? Key(place.label) : QString::fromLatin1(kSideKeys[i - 4]);
        measures_.push_back({key, caption, value});
    }
    caption_->setGeometry(15, 112, 630, 20);
    trace_->move(15, 134);

    auto* parameters = new QGroupBox(QStringLiteral("OTDRTestParam"), this);
    parameters->setGeometry(660, 8, 220, 366);
    for (size_t i = 0; i < std::size(kParameters); ++i) {
        const int y = 30 + static_cast<int>(i) * 40;
        auto* caption = new QLabel(QString::fromLatin1(kParameters[i]), parameters);
        caption->setGeometry(10, y, 100, 24);
        QLabel* value = nullptr;
        if (i + 1 < std::size(kParameters)) {
            value = new QLabel(parameters);
            value->setGeometry(110, y, 100, 24);
            value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        } else {
            threshold_->setParent(parameters);
            threshold_->setGeometry(110, y, 100, 24);
        }
        parameters_.push_back({Key(kParameters[i]), caption, value});
    }
    platform::KeepDigitsAndPoints(*threshold_);

    events_->setGeometry(15, 386, 670, 250);
    for (int column = 0; column < 4; ++column) {
        events_->setHorizontalHeaderItem(column, new QTableWidgetItem(QString::fromLatin1(kColumns[column])));
        events_->setColumnWidth(column, kColumnWidths[column]);
    }
    events_->verticalHeader()->hide();
    events_->setSelectionBehavior(QAbstractItemView::SelectRows);
    events_->setSelectionMode(QAbstractItemView::SingleSelection);
    events_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    events_->setShowGrid(true);
    connect(events_, &QTableWidget::cellClicked, this, [this](int row, int) { trace_->SelectEvent(row); });
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        auto* button = new QPushButton(QString::fromLatin1(kButtons[i]), this);
        button->setGeometry(705, 400 + static_cast<int>(i) * 44, 150, 32);
        button->setEnabled(false);
        buttons_.push_back(button);
    }
    connect(buttons_[0], &QPushButton::clicked, this, [this] { Run(Command::EventAnalysis); });
    connect(buttons_[1], &QPushButton::clicked, this, &COTDRView::AddEvent);
    connect(buttons_[2], &QPushButton::clicked, this, &COTDRView::ModifyEvent);
    connect(buttons_[3], &QPushButton::clicked, this, &COTDRView::DeleteEvent);

    repaint_->setSingleShot(true);
    connect(repaint_, &QTimer::timeout, this, [this] { trace_->repaint(); });
    trace_->OnLoadFinished([this] { RefreshPanels(); });
    trace_->OnCursorsMoved([this] { RefreshMeasurements(); });
    RefreshPanels();
}

QString COTDRView::Caption() const {
    return caption_->text();
}

QString COTDRView::ChooseFile() {
    testDate_ = QString::fromLatin1(kNoDate);
    QFileDialog dialog(this);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("OTDRDATA (*.st)"));
    dialog.selectFile(QStringLiteral("*.st"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

bool COTDRView::OpenPath(const QString& path) {
    testDate_ = QString::fromLatin1(kNoDate);
    if (!QFileInfo(path).isFile())
        return false;
    if (Load(path))
        return true;
    platform::MessageBox(kFalseFile, QString::fromLatin1(kPromptCaption).toStdU16String(), platform::MB_OK);
    return false;
}

bool COTDRView::LoadFromDocument(const QString& path) {
    return Load(path);
}

bool COTDRView::Load(const QString& path) {
    fileName_ = QFileInfo(path).fileName();
    const bool loaded = trace_->Load(QFile::encodeName(path).toStdString()) == 0;
    if (loaded) {
        caption_->setText(path);
        const QDate date = QFileInfo(path).lastModified().date();
        testDate_ = QString::asprintf("%ld-%d-%d", static_cast<long>(date.year()), date.month(), date.day());
    } else {
        caption_->setText(QString::fromLatin1(kWaveFormCaption));
    }
    RepaintSoon();
    if (stateChanged_)
        stateChanged_();
    return loaded;
}

void COTDRView::RepaintSoon() {
    repaint_->start(kRepaintMs);
}

void COTDRView::RefreshPanels() {
    const pc::TraceModel* model = trace_->Model();
    events_->setRowCount(0);
    trace_->SetEventDistances({});
    for (QPushButton* button : buttons_)
        button->setEnabled(false);
    if (!model) {
        for (Row& row : parameters_)
            if (row.value)
                row.value->setText(QStringLiteral(" "));
        threshold_->setText(QStringLiteral(" "));
        for (Row& row : measures_)
            row.value->setText(QStringLiteral(" "));
        ShowModeControls();
        return;
    }
    const tracefile::ParameterBlock& block = model->Parameters();
    const QString texts[] = {
        QString::asprintf("%.1f km", Value(block.range)),
        QString::asprintf("%.0f nm", Value(block.m_iWaveLen)),
        QString::asprintf("%.0f ns", Value(block.m_iPulseWidth)),
        QString::asprintf("%.0f dB", Value(block.m_iAttenuation)),
        QString::asprintf("%.5f ", Value(block.m_fRefractive)),
        QString::asprintf("%.1f ", Value(block.m_fCableRatio)),
        QString::asprintf("%d ", block.m_iAvgTime / kValueScale),
    };
    for (size_t i = 0; i < std::size(texts); ++i)
        parameters_[i].value->setText(texts[i]);
    threshold_->setText(QString::asprintf("%.3f", Value(block.m_fEventThreshold)));
    buttons_[0]->setEnabled(true);
    RefreshMeasurements();
}

void COTDRView::RefreshMeasurements() {
    const pc::TraceModel* model = trace_->Model();
    if (!model)
        return;
    const pc::Measurements& measured = model->Results();
    const bool noTrace = model->Samples().empty();
    const auto fitted = [&](double value, const char* format) {
        return noTrace ? QString::fromUtf8(kNoTrace) : QString::asprintf(format, value);
    };
    const QString texts[] = {
        QString::asprintf("%.3f dB", measured.lossAB), QString::asprintf("%.5f km", measured.distanceAB),
        fitted(measured.dbPerKmAB, "%.3f dB/km(A-B)"), fitted(measured.jointLoss, "%.3f dB"),
        fitted(measured.dbPerKmaA, "%.3f dB/km(a-A)"), fitted(measured.dbPerKmBb, "%.3f dB/km(B-b)"),
    };
    for (size_t i = 0; i < std::size(texts); ++i)
        measures_[i].value->setText(texts[i]);
    ShowModeControls();
    if (dialog_) {
        dialog_->SetPosition(QString::asprintf("%.4f km", measured.positions[pc::TraceScale::A]));
        dialog_->SetLoss(QString::asprintf("%.3f", measured.jointLoss));
    }
}

void COTDRView::ShowModeControls() {
    // Two-cursor mode hides what only four cursors measure.
    const bool fourCursors = trace_->Mode() == 1;
    measures_[3].caption->setVisible(fourCursors);
    for (size_t i = 3; i < measures_.size(); ++i)
        measures_[i].value->setVisible(fourCursors);
}

QStringList COTDRView::ParameterLabels() const {
    QStringList labels;
    for (const Row& row : parameters_)
        labels << row.label;
    return labels;
}

QStringList COTDRView::MeasureLabels() const {
    QStringList labels;
    for (const Row& row : measures_)
        labels << row.label;
    return labels;
}

QString COTDRView::ParameterText(const QString& label) const {
    for (const Row& row : parameters_)
        if (row.label == label)
            return row.value ? (row.value->isHidden() ? QString() : row.value->text()) : threshold_->text();
    return {};
}

QString COTDRView::MeasureText(const QString& label) const {
    for (const Row& row : measures_)
        if (row.label == label)
            return row.value->isHidden() ? QString() : row.value->text();
    return {};
}

QPushButton* COTDRView::Button(const QString& text) const {
    for (QPushButton* button : buttons_)
        if (button->text() == text)
            return button;
    return nullptr;
}

bool COTDRView::Enabled(Command command) const {
    switch (command) {
    case Command::Open:
    case Command::Exit:
    case Command::Help:
    case Command::About:
    // The report prints what the form shows, an empty form too.
    case Command::Print:
    case Command::ExportPdf:
    case Command::ImportSor:
        return true;
    case Command::EventAnalysis:
        return buttons_[0]->isEnabled();
    default:
        // The curve operations and the measurement modes need a trace.
        return trace_->HasModel();
    }
}

bool COTDRView::Checked(Command command) const {
    return (command == Command::TestAverageLoss && trace_->Mode() == 0) ||
           (command == Command::TestJointLoss && trace_->Mode() == 1);
}

void COTDRView::Run(Command command) {
    if (!Enabled(command))
        return;
    CDataLine& view = *trace_;
    switch (command) {
    case Command::ChangeMark:
        view.ChangeMark();
        break;
    case Command::LeftShiftCursor:
        view.StepCursor(-1);
        break;
    case Command::RightShiftCursor:
        view.StepCursor(1);
        break;
    case Command::HorizontalZoomIn:
        view.HorizontalZoomIn();
        break;
    case Command::HorizontalZoomOut:
        view.HorizontalZoomOut();
        break;
    case Command::VerticalZoomIn:
        view.VerticalZoomIn();
        break;
    case Command::VerticalZoomOut:
        view.VerticalZoomOut();
        break;
    case Command::MovesUpCurve:
        view.ShiftUp();
        break;
    case Command::MovesDownCurve:
        view.ShiftDown();
        break;
    case Command::RestoreCurve:
        view.Restore();
        break;
    case Command::TestAverageLoss:
        view.TestAverageLoss();
        ShowModeControls();
        break;
    case Command::TestJointLoss:
        view.TestJointLoss();
        ShowModeControls();
        break;
    case Command::EventAnalysis:
        EventAnalysis();
        break;
    default:
        return;
    }
    if (stateChanged_)
        stateChanged_();
}

void COTDRView::Analyse(analysis::EventTable& table) const {
    const pc::TraceModel* model = trace_->Model();
    // The box keeps digits and points only; what it holds is the threshold, 0 when it holds no number.
    const double threshold = platform::ParseNumber(threshold_->text().toStdString());
    const tracefile::ParameterBlock& block = model->Parameters();
    const std::vector<uint32_t> samples(model->Samples().begin(), model->Samples().end());
    table.AnalyseTrace(
        samples, static_cast<float>(Value(block.range)), static_cast<float>(Value(block.m_iWaveLen)),
        static_cast<float>(Value(block.m_iPulseWidth)), static_cast<float>(threshold), block.m_iAttenuation);
}

std::vector<sor::TraceEvent> COTDRView::ShownEvents() const {
    const pc::TraceModel* model = trace_->Model();
    if (!model)
        return {};
    if (events_->rowCount() == 0) {
        analysis::EventTable table;
        Analyse(table);
        return sor::AnalysedEvents(table);
    }
    std::vector<sor::TraceEvent> events;
    const double kmPerSample = model->Scale().KmPerSample();
    for (int row = 0; IsEventRow(row); ++row) {
        const int64_t position = pc::SampleOfDistanceText(RowText(row, 2).toStdString(), kmPerSample);
        if (position < 0)
            continue;
        const QString loss = RowText(row, 3);
        events.push_back({.position = static_cast<uint32_t>(position),
                          .reflective = RowText(row, 1) == QLatin1String("JointEvent"),
                          .end = analysed_.GetEventCount() > 0 && position == analysed_.End(),
                          .lossDb = static_cast<float>(platform::ParseNumber(loss.toStdString()))});
    }
    return events;
}

void COTDRView::EventAnalysis() {
    const pc::TraceModel* model = trace_->Model();
    if (!model)
        return;
    Analyse(analysed_);
    const tracefile::ParameterBlock& block = model->Parameters();
    const double kmPerSample = tracefile::KilometresPerSample(
        static_cast<float>(Value(block.range)), Value(block.m_fRefractive), Value(block.m_fCableRatio));
    const int count = analysed_.GetEventCount();
    events_->setRowCount(0);
    events_->setRowCount(count + 1);
    for (int i = 0; i < count; ++i) {
        analysis::EventRecord event;
        analysed_.GetEvent(i, event);
        const QString texts[] = {
            QString::number(i + 1),
            QString::fromLatin1(event.type == analysis::Reflective ? "JointEvent" : "FusionEvent"),
            QString::asprintf("%.4f", event.position * kmPerSample),
            event.loss == 0.0f ? QStringLiteral("------")
                               : QString::asprintf("%.4f", static_cast<double>(event.loss)),
        };
        for (int column = 0; column < 4; ++column)
            events_->setItem(i, column, new QTableWidgetItem(texts[column]));
    }
    for (int column = 0; column < 4; ++column)
        events_->setItem(count, column, new QTableWidgetItem(QString()));
    RowsChanged();
    trace_->ClearSelectedEvent();
    if (count > 0)
        trace_->PlaceCursorA(analysed_.Events().front().position);
    for (QPushButton* button : buttons_)
        button->setEnabled(true);
    trace_->repaint();
}

QString COTDRView::RowText(int row, int column) const {
    const QTableWidgetItem* item = events_->item(row, column);
    return item ? item->text() : QString();
}

bool COTDRView::IsEventRow(int row) const {
    return row >= 0 && row < events_->rowCount() - 1;
}

void COTDRView::SetRow(int row, const QStringList& texts) {
    for (int column = 0; column < texts.size(); ++column)
        events_->setItem(row, column, new QTableWidgetItem(texts[column]));
}

void COTDRView::Renumber(int from) {
    for (int row = from; row < events_->rowCount(); ++row)
        events_->setItem(row, 0,
                         new QTableWidgetItem(IsEventRow(row) ? QString::number(row + 1) : QString()));
}

void COTDRView::RowsChanged() {
    std::vector<std::string> distances;
    for (int row = 0; row < events_->rowCount(); ++row)
        distances.push_back(RowText(row, 2).toStdString());
    trace_->SetEventDistances(std::move(distances));
    trace_->repaint();
}

void COTDRView::BeginEditing() {
    trace_->TestJointLoss();
    ShowModeControls();
    events_->setEnabled(false);
    if (stateChanged_)
        stateChanged_();
}

void COTDRView::EndEditing() {
    trace_->TestAverageLoss();
    ShowModeControls();
    events_->setEnabled(true);
    events_->setFocus(Qt::OtherFocusReason);
    for (QPushButton* button : buttons_)
        button->setEnabled(true);
    if (dialog_)
        dialog_->deleteLater();
    dialog_ = nullptr;
    RepaintSoon();
    if (stateChanged_)
        stateChanged_();
}

void COTDRView::OpenDialog(CAdMoiDlg* dialog) {
    dialog_ = dialog;
    dialog->OnCancelled([this] { Cancelled(); });
    RefreshMeasurements();
    for (QPushButton* button : buttons_)
        button->setEnabled(false);
    // The menu's Event Analysis goes with its button: no new analysis under an open dialog.
    if (stateChanged_)
        stateChanged_();
    dialog->show();
}

void COTDRView::AddEvent() {
    const int s = trace_->SelectedEvent();
    if (s < 0) {
        platform::MessageBox(u"Please select the location where the added event can insert.",
                             QString::fromLatin1(kPromptCaption).toStdU16String(), platform::MB_OK);
        return;
    }
    BeginEditing();
    auto* dialog = new CAdMoiDlg(CAdMoiDlg::Mode::Add, this);
    // Only the trailing row: anywhere on the longest range.
    lowerBound_ = 0.0;
    upperBound_ = 128.0;
    if (s > 0) {
        dialog->SetPrior({RowText(s - 1, 1), RowText(s - 1, 2)});
        lowerBound_ = platform::ParseNumber(RowText(s - 1, 2).toStdString());
    }
    if (IsEventRow(s)) {
        dialog->SetNext({RowText(s, 1), RowText(s, 2)});
        upperBound_ = platform::ParseNumber(RowText(s, 2).toStdString());
    }
    dialog->SetNumber(s + 1);
    dialog->OnConfirmed([this] { AddConfirmed(); });
    OpenDialog(dialog);
}

void COTDRView::AddConfirmed() {
    const int s = trace_->SelectedEvent();
    const pc::Measurements& measured = trace_->Model()->Results();
    const double position = measured.positions[pc::TraceScale::A];
    const double hi = upperBound_;
    const double lo = lowerBound_;
    if ((hi != 0.0 && (position > hi || position < lo)) || (hi == 0.0 && position < lo)) {
        platform::MessageBox(u"Please add a new event between the last event point and the next event point!",
                             QString::fromLatin1(kPromptCaption).toStdU16String(), platform::MB_OK);
        EndEditing();
        return;
    }
    if (measured.jointLoss != 0.0) {
        events_->insertRow(s);
        SetRow(s, {QString::number(s + 1), dialog_->TypeText(), QString::asprintf("%.4f", position),
                   QString::asprintf("%.4f", measured.jointLoss)});
        Renumber(s + 1);
        RowsChanged();
    }
    EndEditing();
    events_->clearSelection();
    events_->selectRow(s + 1);
}

void COTDRView::ModifyEvent() {
    const int s = trace_->SelectedEvent();
    // The trailing row holds no event to modify: the same answer as no selection.
    if (!IsEventRow(s)) {
        platform::MessageBox(u"Please select the event you want to modify.",
                             QString::fromLatin1(kPromptCaption).toStdU16String(), platform::MB_OK);
        return;
    }
    BeginEditing();
    auto* dialog = new CAdMoiDlg(CAdMoiDlg::Mode::Modify, this);
    if (s > 0)
        dialog->SetPrior({RowText(s - 1, 1), RowText(s - 1, 2)});
    dialog->SetNext({RowText(s + 1, 1), RowText(s + 1, 2)});
    dialog->SetType(RowText(s, 1) == QLatin1String("FusionEvent") ? 1 : 0);
    dialog->SetNumber(s + 1);
    dialog->OnConfirmed([this] { ModifyConfirmed(); });
    OpenDialog(dialog);
    // What the row holds, until a cursor moves.
    dialog->SetPosition(RowText(s, 2));
    dialog->SetLoss(RowText(s, 3));
}

void COTDRView::ModifyConfirmed() {
    const int s = trace_->SelectedEvent();
    const pc::Measurements& measured = trace_->Model()->Results();
    SetRow(s, {RowText(s, 0), dialog_->TypeText(),
               QString::asprintf("%.4f", measured.positions[pc::TraceScale::A]),
               measured.jointLoss != 0.0 ? QString::asprintf("%.4f", measured.jointLoss) : RowText(s, 3)});
    RowsChanged();
    EndEditing();
}

void COTDRView::Cancelled() {
    EndEditing();
}

void COTDRView::DeleteEvent() {
    const QList<QTableWidgetItem*> selected = events_->selectedItems();
    const int row = selected.isEmpty() ? -1 : selected.front()->row();
    if (!IsEventRow(row))
        return;
    events_->removeRow(row);
    Renumber(row);
    trace_->ClearSelectedEvent();
    const bool left = events_->rowCount() > 1;
    buttons_[1]->setEnabled(left);
    buttons_[2]->setEnabled(left);
    buttons_[3]->setEnabled(left);
    RowsChanged();
}

CAdMoiDlg* COTDRView::EditDialog() const {
    return dialog_;
}
