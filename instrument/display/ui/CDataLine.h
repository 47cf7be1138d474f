#pragma once
#include "instrument/display/TraceModel.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

class TraceData;

// The trace view: one trace over a grid with cursors A and B, event ticks, scales and readouts.
class CDataLine : public QWidget {
public:
    // messageTitle: the title of the view's warning box.
    CDataLine(QWidget* parent, TraceData& trace, int versionNumber, std::u16string messageTitle = {});

    // Reads a ".st" file into the current trace and builds the model over it; 0, or -1 when the file
    // cannot be read (the view then keeps the trace and model it had).
    int BuildFromFile(const std::string& hostPath);
    // The model over the live result of a test; the samples arrive while the test runs.
    void BuildFromLive();
    // While set, a build takes the current test parameters for the trace and analyses nothing: the
    // settings' OK and the test start set it, opening a file clears it.
    void SetParametersChanged(bool changed) { parametersChanged_ = changed; }
    bool ParametersChanged() const { return parametersChanged_; }
    bool HasModel() const { return model_ != nullptr; }
    const TraceModel* Model() const { return model_.get(); }
    const TraceScale* Scale() const { return model_ ? &model_->Scale() : nullptr; }
    // The events of the model; none without one.
    const analysis::EventTable& Events() const;
    // Runs a scale operation (zoom, shift, restore) and repaints at once; false without a model.
    template <typename Operation> bool Operate(Operation operation) {
        if (!model_)
            return false;
        operation(model_->Scale());
        repaint();
        return true;
    }
    // The re-analyse notification: the analysis again over the current trace, then the listeners.
    void Reanalyse();
    // Called after every analysis, to refill the event list.
    void OnAnalysed(std::function<void()> listener) { analysed_ = std::move(listener); }
    // Moves the active cursor to a column; -1 without a model or for a negative column.
    int SetCursorColumn(int column);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // Deletes the old model and builds the new one over a source that fills in the trace and its
    // parameters; 0, or -1, with the old model kept, when the source cannot be read.
    int Load(const std::function<bool(tracefile::ParameterBlock&)>& readSource);
    void Analyse();
    // The distance, loss and dB/km between the cursors; without samples there is nothing to measure.
    void ComputeReadouts();
    void ComputeReadouts(std::span<const uint32_t> samples);
    void OnArrow(int direction);
    // The pivot and the pan at the edges, before the trace is drawn.
    void PrepareDrawing(std::span<const uint32_t> samples);
    int Row(uint32_t sample) const;
    // The layers of a drawing, bottom up.
    struct PaintParameters;
    void PaintGrid(PaintParameters& paint) const;
    void PaintTrace(PaintParameters& paint) const;
    void PaintEventTicks(PaintParameters& paint) const;
    void PaintCursors(PaintParameters& paint) const;
    void PaintReadouts(PaintParameters& paint) const;

    TraceData& trace_;
    int versionNumber_;
    std::u16string messageTitle_;
    TraceScale* MutableScale() { return model_ ? &model_->Scale() : nullptr; }

    // Deleted before the next one is built.
    std::unique_ptr<TraceModel> model_;
    bool parametersChanged_ = false;
    int m_iMovePix = 1;
    int arrowDowns_ = 0;
    int redraws_ = 0;
    float pivot_ = 0.0f;
    int lastActive_ = -1;
    // Per cursor, the side it lay off the plot at the last drawing (-1 left, 1 right, 0 on it): each
    // cursor's own return to the edge is what the drawing must not pan at.
    std::array<int, 2> offScreenSide_{0, 0};
    std::function<void()> analysed_;
    double distance_ = 0.0;
    double loss_ = 0.0;
    double attenuation_ = 0.0;
};
