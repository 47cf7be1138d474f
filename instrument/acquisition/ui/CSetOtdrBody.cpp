#include "instrument/acquisition/ui/CSetOtdrBody.h"

#include "instrument/config/LanguageTable.h"
#include "instrument/screens/PanelKeyEvent.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"

#include "platform/DebugOut.h"
#include "platform/MessageBox.h"
#include "platform/VirtualKeys.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace {

constexpr const char16_t* kSection = u"setotdr_body";
constexpr const char16_t* kMissing = u"flase";
constexpr const char16_t* kSaveFailedKey = u"message_SaveFailed";
constexpr const char16_t* kSaveFailedEn =
    u"The settings could not be saved to the flash disk. They are not in use; "
    u"check the disk and press OK to try again.";
constexpr const char16_t* kSaveFailedCh = u"参数未能保存到存储器，未被采用。请检查存储器后按确定重试。";

QString Number(float value, const char* unit) {
    return QString::number(static_cast<double>(value), 'g', 6) + QString::fromLatin1(unit);
}

} // namespace

CSetOtdrBody::CSetOtdrBody(QWidget* parent) : CPane(parent, dlg::kSetOtdrBody, kSection, u"", u"") {
    const LanguageTable texts(LanguageId, kSection);
    const auto text = [&](const char16_t* key) {
        return QString::fromStdU16String(texts.TextOr(key, kMissing));
    };

    auto* mode = new QGroupBox(text(u"otdrtestmode"), this);
    mode->setGeometry(4, 2, 312, 52);
    auto* parameters = new QGroupBox(text(u"otdrtestparam"), this);
    parameters->setGeometry(4, 58, 312, 155);

    // Label and control side by side; the parameters in two columns of 154 pixels.
    const auto place = [&](QGroupBox* box, int x, int row, int labelWidth, const char16_t* label,
                           QWidget* control, int id, int width = 72) {
        auto* caption = new QLabel(text(label), box);
        caption->setGeometry(x, 18 + row * 26, labelWidth, 22);
        control->setParent(box);
        control->setGeometry(x + labelWidth, 18 + row * 26, width, 22);
        control->setObjectName(QString::number(id));
        controls_[id] = control;
    };
    way_ = new QComboBox;
    for (const char16_t* key : {u"avgtest", u"timetest", u"autotest"})
        way_->addItem(text(key));
    place(mode, 6, 0, 58, u"testway", way_, ctl::kTestWay, 100);
    averageTime_ = new QLineEdit;
    averageTime_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), averageTime_));
    place(mode, 170, 0, 74, u"avgtime", averageTime_, ctl::kAverageTime, 60);
    // The test item is kept for the settings file's sake; it is always its first entry and not shown.
    auto* project = new QComboBox(this);
    for (const char16_t* key : {u"avgAtten", u"refreAtten", u"connectAtten"})
        project->addItem(text(key));
    project->setCurrentIndex(0);
    project->hide();
    project->setObjectName(QString::number(ctl::kTestProject));
    controls_[ctl::kTestProject] = project;

    wavelength_ = new QComboBox;
    wavelength_->addItems({QStringLiteral("1310nm"), QStringLiteral("1550nm")});
    place(parameters, 6, 0, 72, u"wavelen", wavelength_, ctl::kWavelength);
    range_ = new QComboBox;
    for (int i = 0; i < kRangeCount; ++i)
        range_->addItem(Number(RangeAt(i).km, "km"));
    place(parameters, 6, 1, 72, u"rang", range_, ctl::kRange);
    pulse_ = new QComboBox;
    place(parameters, 6, 2, 72, u"pulwidth", pulse_, ctl::kPulseWidth);
    attenuation_ = new QComboBox;
    place(parameters, 6, 3, 72, u"atten", attenuation_, ctl::kAttenuation);
    const auto decimal = [](QLineEdit* edit) {
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*\\.?[0-9]*"), edit));
    };
    refractive_ = new QLineEdit;
    decimal(refractive_);
    place(parameters, 160, 0, 72, u"refractive", refractive_, ctl::kRefractive);
    cableRatio_ = new QLineEdit;
    decimal(cableRatio_);
    place(parameters, 160, 1, 72, u"cablratio", cableRatio_, ctl::kCableRatio);
    threshold_ = new QLineEdit;
    decimal(threshold_);
    place(parameters, 160, 2, 72, u"eventTh", threshold_, ctl::kEventThreshold);
    threshold_->setGeometry(threshold_->x(), threshold_->y(), 52, 22);
    auto* db = new QLabel(QStringLiteral("dB"), parameters);
    db->setGeometry(threshold_->x() + 56, threshold_->y(), 20, 22);

    connect(wavelength_, &QComboBox::currentIndexChanged, this, [this] { OnWavelengthChanged(); });
    connect(range_, &QComboBox::currentIndexChanged, this, [this] { OnRangeChanged(); });
    connect(way_, &QComboBox::currentIndexChanged, this, [this] { OnTestWayChanged(); });

    for (const auto& [id, control] : controls_)
        control->installEventFilter(this);

    stored_ = LoadSettingsFields();
    storedRefractive_ = {StoredRefractive(0), StoredRefractive(1)};
    Show(stored_);
}

QWidget* CSetOtdrBody::Control(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

void CSetOtdrBody::Show(const SettingsFields& fields) {
    filling_ = true;
    way_->setCurrentIndex(fields.testWay);
    wavelength_->setCurrentIndex(fields.wavelengthIndex);
    range_->setCurrentIndex(fields.rangeIndex);
    RebuildLists(fields.rangeIndex, fields.pulseIndex, fields.attenuationIndex);
    refractive_->setText(QString::fromStdString(fields.refractive));
    cableRatio_->setText(QString::fromStdString(fields.cableRatio));
    threshold_->setText(QString::fromStdString(fields.threshold));
    averageTime_->setText(QString::fromStdString(fields.averageTime));
    filling_ = false;
    EnableFieldsForTestWay();
}

SettingsFields CSetOtdrBody::Fields() const {
    SettingsFields fields;
    fields.testWay = way_->currentIndex();
    fields.averageTime = averageTime_->text().toStdString();
    fields.refractive = refractive_->text().toStdString();
    fields.cableRatio = cableRatio_->text().toStdString();
    fields.threshold = threshold_->text().toStdString();
    fields.wavelengthIndex = wavelength_->currentIndex();
    fields.rangeIndex = range_->currentIndex();
    fields.pulseIndex = pulse_->currentIndex();
    fields.attenuationIndex = attenuation_->currentIndex();
    return fields;
}

void CSetOtdrBody::RebuildLists(int rangeIndex, int pulseIndex, int attenuationIndex) {
    const bool wasFilling = filling_;
    filling_ = true;
    const RangeRow& row = RangeAt(rangeIndex);
    pulse_->clear();
    for (int i = 0; i < row.pulseCount; ++i)
        pulse_->addItem(Number(PulseWidthValue(i), "ns"));
    pulse_->setCurrentIndex(ClampPulseIndex(rangeIndex, pulseIndex));
    attenuation_->clear();
    for (int i = 0; i < row.attenuationCount; ++i)
        attenuation_->addItem(Number(AttenuationValue(i), "dB"));
    attenuation_->setCurrentIndex(ClampAttenuationIndex(rangeIndex, attenuationIndex));
    filling_ = wasFilling;
}

void CSetOtdrBody::OnWavelengthChanged() {
    if (filling_)
        return;
    // What was typed for the other wavelength is dropped.
    refractive_->setText(QString::fromStdString(storedRefractive_[wavelength_->currentIndex() == 1 ? 1 : 0]));
}

void CSetOtdrBody::OnRangeChanged() {
    if (filling_)
        return;
    const int rangeIndex = range_->currentIndex();
    const int limit = RangeAt(rangeIndex).averageLimit;
    if (averageTime_->text().toLongLong() > limit)
        averageTime_->setText(QString::number(limit));
    RebuildLists(rangeIndex, pulse_->currentIndex(), attenuation_->currentIndex());
}

void CSetOtdrBody::OnTestWayChanged() {
    if (filling_)
        return;
    if (way_->currentIndex() == kAutomaticTest) {
        filling_ = true;
        range_->setCurrentIndex(8);
        filling_ = false;
        RebuildLists(8, 5, 1);
        if (averageTime_->text().toLongLong() > 20)
            averageTime_->setText(QStringLiteral("20"));
    }
    EnableFieldsForTestWay();
}

void CSetOtdrBody::EnableFieldsForTestWay() {
    const int way = way_->currentIndex();
    for (QWidget* list :
         {static_cast<QWidget*>(range_), static_cast<QWidget*>(pulse_), static_cast<QWidget*>(attenuation_)})
        list->setEnabled(way != kAutomaticTest);
    averageTime_->setEnabled(way != kRealtimeTest);
}

int CSetOtdrBody::Apply() {
    SettingsFields fields = Fields();
    const ApplyResult result = ApplySettings(fields, TestParam, TestWay);
    // A corrected average time stays in the edit, so the next apply passes.
    averageTime_->setText(QString::fromStdString(fields.averageTime));
    if (result.ok)
        return 1;
    ShowMessage(result.messageKey);
    return 0;
}

void CSetOtdrBody::ShowMessage(const std::u16string& key) {
    auto message = messages_.find(key);
    if (message == messages_.end()) {
        const LanguageTable texts(LanguageId, kSection);
        // Language files older than the save message lack it; it must never read "flase".
        message = messages_
                      .emplace(key, key == kSaveFailedKey ? texts.TextOrOwn(key, kSaveFailedEn, kSaveFailedCh)
                                                          : texts.TextOr(key, kMissing))
                      .first;
    }
    platform::MessageBox(message->second, MessageTitle, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

bool CSetOtdrBody::Save() {
    const SettingsFields fields = Fields();
    if (!SaveSettingsFields(fields)) {
        ShowMessage(kSaveFailedKey);
        return false;
    }
    stored_ = fields;
    storedRefractive_[fields.wavelengthIndex == 1 ? 1 : 0] = fields.refractive;
    return true;
}

void CSetOtdrBody::Restore() {
    Show(stored_);
}

bool CSetOtdrBody::TakesInput(int id) const {
    const QWidget* control = Control(id);
    return control && !control->isHidden() && control->isEnabled();
}

void CSetOtdrBody::FocusControl(int id) {
    QWidget* control = Control(id);
    if (!control)
        return;
    control->setFocus(Qt::TabFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->selectAll();
        edit->setCursorPosition(edit->text().size());
        edit->selectAll();
    }
}

bool CSetOtdrBody::event(QEvent* event) {
    if (event->type() != PanelKeyEvent::kType)
        return CPane::event(event);
    // The focused control receives the key itself; the pane only traces what it is relayed.
    const auto* key = static_cast<PanelKeyEvent*>(event);
    const uint32_t vk = key->VirtualKey();
    if (vk != platform::VK_ESCAPE && vk != platform::VK_F4 && key->Message() == platform::WM_KEYDOWN)
        if (const char* name = platform::KeyName(vk))
            platform::DebugOut("%s    setbody-------------\r\n", name);
    return true;
}

bool CSetOtdrBody::eventFilter(QObject* watched, QEvent* event) {
    // Escape and F4 are the panel's cancel; a list must not also open or close its pop-up on them.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || key == Qt::Key_F4)
            return true;
    }
    return CPane::eventFilter(watched, event);
}
