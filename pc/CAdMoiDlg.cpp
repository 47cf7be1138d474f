#include "pc/CAdMoiDlg.h"

#include "platform/MessageBox.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr const char16_t* kCaption = u"OTDR Prompt Message";
constexpr const char16_t* kChooseType = u"Please choose the event type!";
constexpr const char16_t* kPlaceCursorA = u"The cursor A is used to locate the position of new event points!";
constexpr const char16_t* kSetCursors =
    u"Please correctly set the position of cursor a, A, B, b by changing cursor to calculate the joint loss! "
    u"What\u2019s more, the position of cursor A will the position of event point.";
constexpr const char* kTypes[] = {"JointEvent", "FusionEvent"};

void Say(const char16_t* text) {
    platform::MessageBox(text, kCaption, platform::MB_OK);
}

// A caption and its text box or label in one row of a group.
template <typename Field> Field* Row(QGroupBox* group, const char* caption, int y, Field* field) {
    auto* label = new QLabel(QString::fromLatin1(caption), group);
    label->setGeometry(8, y, 92, 22);
    field->setParent(group);
    field->setGeometry(100, y, 100, 22);
    return field;
}

} // namespace

CAdMoiDlg::CAdMoiDlg(Mode mode, QWidget* parent) : QDialog(parent), mode_(mode) {
    setModal(false);
    setFixedSize(438, 206);
    setWindowTitle(mode == Mode::Add ? QStringLiteral("Add Event") : QStringLiteral("Modify Event"));

    auto* prior = new QGroupBox(QStringLiteral("PriorEvent:"), this);
    prior->setGeometry(8, 6, 208, 78);
    priorType_ = Row(prior, "EventType:", 20, new QLabel);
    priorDistance_ = Row(prior, "EventPosition:", 48, new QLabel);
    auto* next = new QGroupBox(QStringLiteral("NextEvent:"), this);
    next->setGeometry(8, 90, 208, 78);
    nextType_ = Row(next, "EventType:", 20, new QLabel);
    nextDistance_ = Row(next, "EventPosition:", 48, new QLabel);

    // The add and the modify group share one place; only the mode's own caption shows.
    auto* current =
        new QGroupBox(mode == Mode::Add ? QStringLiteral("AddEvent:") : QStringLiteral("ModifyEvent:"), this);
    current->setGeometry(222, 6, 208, 162);
    number_ = Row(current, "EventNo:", 20, new QLineEdit);
    type_ = Row(current, "EventType:", 52, new QComboBox);
    for (const char* type : kTypes)
        type_->addItem(QString::fromLatin1(type));
    type_->setCurrentIndex(-1);
    position_ = Row(current, "EventPosition:", 84, new QLineEdit);
    loss_ = Row(current, "JointLoss:", 116, new QLineEdit);
    for (QLineEdit* box : {number_, position_, loss_})
        box->setReadOnly(box != loss_);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setGeometry(266, 176, 76, 24);
    cancel_ = new QPushButton(QStringLiteral("CANCAL"), this);
    cancel_->setGeometry(352, 176, 76, 24);
    connect(ok_, &QPushButton::clicked, this, &CAdMoiDlg::Confirm);
    connect(cancel_, &QPushButton::clicked, this, &CAdMoiDlg::reject);
}

void CAdMoiDlg::SetPrior(const Neighbour& prior) {
    priorType_->setText(prior.type);
    priorDistance_->setText(prior.distance);
}

void CAdMoiDlg::SetNext(const Neighbour& next) {
    nextType_->setText(next.type);
    nextDistance_->setText(next.distance);
}

void CAdMoiDlg::SetType(int item) {
    type_->setCurrentIndex(item);
}

int CAdMoiDlg::Type() const {
    return type_->currentIndex();
}

QString CAdMoiDlg::TypeText() const {
    return Type() < 0 ? QString() : QString::fromLatin1(kTypes[Type()]);
}

void CAdMoiDlg::SetNumber(int number) {
    number_->setText(QString::number(number));
}

void CAdMoiDlg::SetPosition(const QString& text) {
    position_->setText(text);
}

void CAdMoiDlg::SetLoss(const QString& text) {
    loss_->setText(text);
}

QString CAdMoiDlg::PriorText() const {
    return priorType_->text() + QLatin1Char(' ') + priorDistance_->text();
}

QString CAdMoiDlg::NextText() const {
    return nextType_->text() + QLatin1Char(' ') + nextDistance_->text();
}

QString CAdMoiDlg::PositionText() const {
    return position_->text();
}

QString CAdMoiDlg::NumberText() const {
    return number_->text();
}

QString CAdMoiDlg::LossText() const {
    return loss_->text();
}

QPushButton* CAdMoiDlg::Button(const QString& text) const {
    for (QPushButton* button : {ok_, cancel_})
        if (button->text() == text)
            return button;
    return nullptr;
}

void CAdMoiDlg::Confirm() {
    if (mode_ == Mode::Add) {
        if (Type() < 0) {
            Say(kChooseType);
            return;
        }
        if (position_->text().isEmpty()) {
            Say(kPlaceCursorA);
            return;
        }
    }
    if (loss_->text() == QLatin1String("0.000")) {
        Say(kSetCursors);
        return;
    }
    hide();
    if (confirmed_)
        confirmed_();
}

void CAdMoiDlg::reject() {
    hide();
    if (cancelled_)
        cancelled_();
}
