#include "instrument/acquisition/ui/CSetInvalidMeterBody.h"

#include "instrument/config/IniFile.h"
#include "instrument/config/SettingsKeys.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"

#include "platform/TextCodec.h"
#include "platform/qt/NumberEdit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CSetInvalidMeterBody::CSetInvalidMeterBody(QWidget* parent)
    : CPane(parent, dlg::kSetInvalidMeterBody, u"", u"", u"") {
    setGeometry(0, 0, 320, 240);
    auto* caption = new QLabel(QStringLiteral("无效距离(m)"), this);
    caption->setGeometry(40, 80, 100, 24);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("1015"));
    edit_->setGeometry(150, 80, 120, 24);
    platform::KeepDigitsAndPoints(*edit_);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setGeometry(70, 140, 70, 24);
    connect(ok, &QPushButton::clicked, this, &CSetInvalidMeterBody::Accept);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setGeometry(180, 140, 70, 24);
    connect(cancel, &QPushButton::clicked, this, &CSetInvalidMeterBody::Cancel);
    edit_->setText(QString::asprintf("%.1f", static_cast<double>(InvalidMeter)));
}

void CSetInvalidMeterBody::Open() {
    edit_->setText(QString::asprintf("%.1f", static_cast<double>(InvalidMeter)));
    show();
    raise();
    edit_->setFocus();
    edit_->selectAll();
}

int CSetInvalidMeterBody::Store() {
    const float meters = edit_->text().toFloat();
    const IniFile config(settings::kConfigFile);
    if (!config.SetString(
            settings::kConfig, settings::kInvalidMeter,
            platform::Utf8ToUtf16(QString::asprintf("%.1f", static_cast<double>(meters)).toStdString())))
        return 0;
    InvalidMeter = meters;
    return 1;
}

void CSetInvalidMeterBody::Accept() {
    Store();
    Close();
}

void CSetInvalidMeterBody::Cancel() {
    Close();
}

void CSetInvalidMeterBody::Close() {
    hide();
    if (closed_)
        closed_();
}
