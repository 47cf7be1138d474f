#include "instrument/system/ui/CSystemInfoBody.h"

#include "instrument/config/IniFile.h"
#include "instrument/config/LanguageTable.h"
#include "instrument/config/SettingsKeys.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"

#include <QLabel>

namespace {

constexpr const char16_t* kSection = u"systemInfo_body";

struct RowTexts {
    const char16_t* label;
    const char16_t* caption;
};
constexpr RowTexts kLabels[CSystemInfoBody::kRows] = {{u"static_hostname", u"公司名称："},
                                                      {u"static_version", u"软件版本："},
                                                      {u"static_email", u"电子邮箱："},
                                                      {u"static_tel", u"联系电话："},
                                                      {u"static_url", u"公司网址："}};
// The rows after the company name come from the settings file's "systemInfo".
constexpr const char16_t* kSettingsKeys[CSystemInfoBody::kRows] = {
    nullptr, settings::kInfoVersion, settings::kInfoEmail, settings::kInfoTel, settings::kInfoUrl};

constexpr int kTop = 30;
constexpr int kRowHeight = 36;

} // namespace

CSystemInfoBody::CSystemInfoBody(QWidget* parent)
    : CPane(parent, dlg::kSystemInfoBody, kSection, u"copyright", u"系统信息") {
    const LanguageTable texts(LanguageId, kSection);
    for (int row = 0; row < kRows; ++row) {
        auto* label = new QLabel(
            QString::fromStdU16String(texts.TextOr(kLabels[row].label, kLabels[row].caption)), this);
        label->setGeometry(8, kTop + row * kRowHeight, 92, 30);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setWordWrap(true);
        // Read-only texts: selectable by nobody, wrapped rather than cut.
        auto* value = new QLabel(this);
        value->setGeometry(102, kTop + row * kRowHeight, 212, 30);
        value->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        value->setWordWrap(true);
        value->setTextFormat(Qt::PlainText);
        values_[row] = value;
    }
    Fill();
}

void CSystemInfoBody::Fill() {
    const LanguageTable texts(LanguageId, kSection);
    values_[kCompany]->setText(QString::fromStdU16String(texts.TextOr(u"edit_hostname", u"")));
    const IniFile config(settings::kConfigFile);
    for (int row = kVersion; row < kRows; ++row)
        values_[row]->setText(
            QString::fromStdU16String(config.GetString(settings::kSystemInfo, kSettingsKeys[row], u"")));
}

QString CSystemInfoBody::Value(Row row) const {
    return values_[row]->text();
}

void CSystemInfoBody::showEvent(QShowEvent* event) {
    Fill();
    CPane::showEvent(event);
}
