#pragma once
#include <QDialog>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The modeless dialog that adds an event at the selected row or modifies it: the prior and next events
// beside the new one, its type, its position (cursor A) and its joint loss (the four cursors).
class CAdMoiDlg : public QDialog {
public:
    enum class Mode { Add, Modify };
    struct Neighbour {
        QString type;
        QString distance;
    };

    explicit CAdMoiDlg(Mode mode, QWidget* parent = nullptr);

    Mode DialogMode() const { return mode_; }
    void SetPrior(const Neighbour& prior);
    void SetNext(const Neighbour& next);
    // -1 for no choice, 0 "JointEvent", 1 "FusionEvent".
    void SetType(int item);
    int Type() const;
    QString TypeText() const;
    void SetNumber(int number);
    // The position box ("%.4f km") and the joint-loss box ("%.3f"), kept current while cursors move.
    void SetPosition(const QString& text);
    void SetLoss(const QString& text);

    QString PriorText() const;
    QString NextText() const;
    QString PositionText() const;
    QString NumberText() const;
    QString LossText() const;
    QComboBox& TypeBox() const { return *type_; }
    // The dialog's buttons by their text ("OK", "CANCAL"); null for one not shown.
    QPushButton* Button(const QString& text) const;

    // The view's three messages: confirmed (add or modify, after the dialog's checks) and cancelled.
    void OnConfirmed(std::function<void()> callback) { confirmed_ = std::move(callback); }
    void OnCancelled(std::function<void()> callback) { cancelled_ = std::move(callback); }

protected:
    void reject() override;

private:
    void Confirm();

    Mode mode_;
    QLabel* priorType_;
    QLabel* priorDistance_;
    QLabel* nextType_;
    QLabel* nextDistance_;
    QComboBox* type_;
    QLineEdit* position_;
    QLineEdit* number_;
    QLineEdit* loss_;
    QPushButton* ok_;
    QPushButton* cancel_;
    std::function<void()> confirmed_;
    std::function<void()> cancelled_;
};
