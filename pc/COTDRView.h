#pragma once
#include "pc/Commands.h"

#include "shared/analysis/EventTable.h"
#include "shared/sor/TraceConversion.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class CAdMoiDlg;
class CDataLine;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;

// The form of the desktop program: the caption above the trace, the measurement panel, the trace view,
// the test-parameter panel, the event list and its buttons.
class COTDRView : public QWidget {
public:
    static constexpr const char* kPromptCaption = "OTDR Prompt Message";
    static constexpr const char* kNoDate = "0000-00-00";

    explicit COTDRView(QWidget* parent = nullptr);

    // The Open command's dialog: the chosen path, empty on Cancel. The test date goes back to none.
    QString ChooseFile();
    // Opens a file as the Open command does after its dialog: failure said with the Open command's message.
    bool OpenPath(const QString& path);
    // The document's load: no message of its own (the document says "错误文件，无法读取！").
    bool LoadFromDocument(const QString& path);

    CDataLine& TraceView() const { return *trace_; }
    // The last opened file's name (after the last separator) and its test date, for the report.
    const QString& FileName() const { return fileName_; }
    const QString& TestDate() const { return testDate_; }
    QString Caption() const;
    QLineEdit& ThresholdBox() const { return *threshold_; }
    QTableWidget& EventList() const { return *events_; }

    // Parameter and measurement panel texts by their label without the colon ("Range", "(A-B)Loss"),
    // "" for a hidden control; the a-A and B-b values under "a-A" and "B-b".
    QString ParameterText(const QString& label) const;
    QString MeasureText(const QString& label) const;
    QStringList ParameterLabels() const;
    QStringList MeasureLabels() const;
    // The four event buttons by their text.
    QPushButton* Button(const QString& text) const;

    // The view's commands (the curve operations, the measurement modes, the event analysis): whether
    // they may run now, whether they carry a check mark, and running them.
    bool Enabled(Command command) const;
    bool Checked(Command command) const;
    void Run(Command command);
    // The event analysis of the button and the menu, with the threshold box's value.
    void EventAnalysis();
    // The event buttons: add at the selected row, modify it, delete it.
    void AddEvent();
    void ModifyEvent();
    void DeleteEvent();
    // The events the list shows, edits included; before any analysis, what Event Analysis would list.
    std::vector<sor::TraceEvent> ShownEvents() const;
    // The add or modify dialog while it is open, else null.
    CAdMoiDlg* EditDialog() const;

    // Called whenever what the commands may do changes: a load, a mode change.
    void OnStateChanged(std::function<void()> callback) { stateChanged_ = std::move(callback); }

private:
    bool Load(const QString& path);
    // The event analysis of the loaded trace with the threshold box's value.
    void Analyse(analysis::EventTable& table) const;
    // The load-finished notification: both panels and the event list from the model, or blanked.
    void RefreshPanels();
    // The six measurement values after a load or a cursor move.
    void RefreshMeasurements();
    void ShowModeControls();
    void RepaintSoon();
    // What the dialog reports: an add or a modify confirmed, or the dialog cancelled.
    void AddConfirmed();
    void ModifyConfirmed();
    void Cancelled();
    // Four-cursor mode and the list and buttons locked, or back to two cursors with them free.
    void BeginEditing();
    void EndEditing();
    void OpenDialog(CAdMoiDlg* dialog);
    QString RowText(int row, int column) const;
    bool IsEventRow(int row) const;
    void SetRow(int row, const QStringList& texts);
    // Numbers from a row on, the trailing row's staying empty; and the event marks from the rows.
    void Renumber(int from);
    void RowsChanged();

    QLabel* caption_;
    CDataLine* trace_;
    QLineEdit* threshold_;
    QTableWidget* events_;
    QTimer* repaint_;
    struct Row {
        QString label;
        QLabel* caption;
        QLabel* value;
    };
    std::vector<Row> parameters_;
    std::vector<Row> measures_;
    std::vector<QPushButton*> buttons_;
    // The document's events: what the last analysis found, before any editing of the list.
    analysis::EventTable analysed_;
    QPointer<CAdMoiDlg> dialog_;
    // Where an added event may lie, from its neighbours' rows, in km.
    double lowerBound_ = 0.0;
    double upperBound_ = 128.0;
    QString fileName_;
    QString testDate_ = QString::fromLatin1(kNoDate);
    std::function<void()> stateChanged_;
};
