#include "instrument/system/ui/CSystemSetBody.h"

#include "instrument/config/LanguageTable.h"
#include "instrument/config/SettingsKeys.h"
#include "instrument/screens/PanelKeyEvent.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/VirtualKeys.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace {

constexpr const char16_t* kSection = u"systemset_body";
constexpr int kClockMs = 1000;

struct FieldPlace {
    int x, width, digits;
};
// Year, month, day, hour, minute in one row.
constexpr FieldPlace kPlaces[CSystemSetBody::kFields] = {
    {10, 42, 4}, {82, 28, 2}, {140, 28, 2}, {198, 28, 2}, {244, 28, 2}};
// The separators after year, month and hour.
struct SeparatorPlace {
    int x, width;
    const char* text;
};
constexpr SeparatorPlace kSeparators[] = {{52, 30, "---"}, {110, 30, "---"}, {226, 18, ":"}};

} // namespace

CSystemSetBody::CSystemSetBody(QWidget* parent)
    : CPane(parent, dlg::kSystemSetBody, kSection, u"top_systemset", u"系统设置"), clock_(new QTimer(this)) {
    const LanguageTable texts(LanguageId, kSection);
    const auto text = [&](const char16_t* key, const char16_t* caption) {
        return QString::fromStdU16String(texts.TextOr(key, caption));
    };
    auto* closeGroup = new QGroupBox(text(u"static_closeset", u"自动关机"), this);
    closeGroup->setGeometry(6, 22, 308, 40);
    autoCloseOn_ = new QRadioButton(text(u"radio_openautoclose", u"开"), closeGroup);
    autoCloseOn_->setGeometry(14, 17, 130, 20);
    autoCloseOff_ = new QRadioButton(text(u"radio_shutautoclose", u"关"), closeGroup);
    autoCloseOff_->setGeometry(160, 17, 130, 20);
    auto* choice = new QButtonGroup(this);
    for (QRadioButton* button : {autoCloseOn_, autoCloseOff_}) {
        choice->addButton(button);
        button->setFocusPolicy(Qt::TabFocus);
        button->installEventFilter(this);
    }
    Choose(AutoCloseOn == 1);

    auto* timeGroup = new QGroupBox(text(u"static_systime", u"系统时间"), this);
    timeGroup->setGeometry(6, 64, 308, 42);
    for (int field = 0; field < kFields; ++field) {
        const FieldPlace& place = kPlaces[field];
        auto* edit = new QLineEdit(timeGroup);
        edit->setGeometry(place.x, 17, place.width, 20);
        edit->setAlignment(Qt::AlignCenter);
        edit->setMaxLength(place.digits);
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(place.digits)), edit));
        edit->setFocusPolicy(Qt::StrongFocus);
        // Typing stops the clock so the typed values stay; the clock's own updates do not.
        connect(edit, &QLineEdit::textEdited, this, [this] {
            if (ClockLive == 1) {
                clock_->stop();
                ClockLive = 0;
            }
        });
        fields_[static_cast<size_t>(field)] = edit;
    }
    for (const SeparatorPlace& separator : kSeparators) {
        auto* label = new QLabel(QString::fromLatin1(separator.text), timeGroup);
        label->setGeometry(separator.x, 17, separator.width, 20);
        label->setAlignment(Qt::AlignCenter);
    }
    connect(clock_, &QTimer::timeout, this, &CSystemSetBody::OnClockTimer);
    clock_->start(kClockMs);
    // The fields hold the time from the start, not only after the first second.
    OnClockTimer();
}

void CSystemSetBody::OnClockTimer() {
    ClockLive = 1;
    const platform::LocalTime now = platform::GetLocalTime();
    const int values[kFields] = {now.year, now.month, now.day, now.hour, now.minute};
    for (int field = 0; field < kFields; ++field)
        fields_[static_cast<size_t>(field)]->setText(
            QString::asprintf(field == kYear ? "%.4d" : "%.2d", values[field]));
}

void CSystemSetBody::RestartClock() {
    if (ClockLive == 0)
        clock_->start(kClockMs);
}

bool CSystemSetBody::ClockRunning() const {
    return clock_->isActive();
}

int CSystemSetBody::AutoCloseChoice() const {
    return autoCloseOn_->isChecked() ? 1 : 0;
}

void CSystemSetBody::ShowMessage(const char16_t* key) const {
    const LanguageTable texts(LanguageId, kSection);
    platform::MessageBox(texts.TextOr(key, settings::kMissingText), MessageTitle,
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void CSystemSetBody::ApplyTime() {
    // Fields nobody typed into show the clock of the last second: read afresh, a minute that turned since
    // would be set back.
    if (ClockLive == 1)
        OnClockTimer();
    // Read first, so the seconds and milliseconds of the clock are kept.
    platform::LocalTime time = platform::GetLocalTime();
    int values[kFields] = {};
    bool empty = false;
    for (int field = 0; field < kFields; ++field) {
        const QString text = fields_[static_cast<size_t>(field)]->text();
        empty = empty || text.isEmpty();
        values[field] = text.toInt();
    }
    if (empty) {
        ShowMessage(u"message_TimeEmpty");
    } else if (values[kYear] < 1001 || values[kYear] > 9998 || values[kMonth] < 1 || values[kMonth] > 12 ||
               values[kDay] < 1 || values[kDay] > 31 || values[kHour] < 0 || values[kHour] > 23 ||
               values[kMinute] < 0 || values[kMinute] > 59) {
        ShowMessage(u"message_InputCorrectTime");
    } else {
        time.year = values[kYear];
        time.month = values[kMonth];
        time.day = values[kDay];
        time.hour = values[kHour];
        time.minute = values[kMinute];
        if (!platform::SetLocalTime(time))
            ShowMessage(u"message_Setfalse");
    }
    RestartClock();
}

void CSystemSetBody::Choose(bool on) {
    (on ? autoCloseOn_ : autoCloseOff_)->setChecked(true);
}

void CSystemSetBody::Step(int by) {
    // The power-off choice is one stop, at its checked button.
    std::vector<QWidget*> stops = {autoCloseOn_->isChecked() ? autoCloseOn_ : autoCloseOff_};
    stops.insert(stops.end(), fields_.begin(), fields_.end());
    const QWidget* focused = focusWidget();
    const auto at = std::find(stops.begin(), stops.end(), focused == autoCloseOff_ ? autoCloseOff_ : focused);
    const auto count = static_cast<int>(stops.size());
    const int from = at == stops.end() ? (by > 0 ? -1 : 0) : static_cast<int>(at - stops.begin());
    QWidget* next = stops[static_cast<size_t>(((from + by) % count + count) % count)];
    next->setFocus(Qt::TabFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(next))
        edit->selectAll();
}

bool CSystemSetBody::event(QEvent* event) {
    if (event->type() != PanelKeyEvent::kType)
        return CPane::event(event);
    const auto* key = static_cast<PanelKeyEvent*>(event);
    if (key->Message() != platform::WM_KEYDOWN)
        return true;
    const bool onChoice = focusWidget() == autoCloseOn_ || focusWidget() == autoCloseOff_;
    switch (key->VirtualKey()) {
    case platform::VK_UP:
        Step(-1);
        break;
    case platform::VK_DOWN:
        Step(1);
        break;
    case platform::VK_LEFT:
    case platform::VK_RIGHT:
        if (onChoice) {
            Choose(key->VirtualKey() == platform::VK_LEFT);
            AutoCloseButton(AutoCloseChoice() == 1)->setFocus(Qt::TabFocusReason);
        }
        break;
    default:
        break;
    }
    return true;
}

bool CSystemSetBody::eventFilter(QObject* watched, QEvent* event) {
    // The arrows are the pane's steps; the radio buttons must not also move and check on them.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right)
            return true;
    }
    return CPane::eventFilter(watched, event);
}

void CSystemSetBody::showEvent(QShowEvent* event) {
    // A choice backed out of is not kept: the pane shows what is in use.
    Choose(AutoCloseOn == 1);
    AutoCloseButton(AutoCloseOn == 1)->setFocus(Qt::OtherFocusReason);
    CPane::showEvent(event);
}
