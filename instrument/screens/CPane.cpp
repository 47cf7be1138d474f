#include "instrument/screens/CPane.h"

#include "instrument/config/LanguageTable.h"
#include "instrument/screens/FocusMarker.h"
#include "instrument/state/AppState.h"

#include <QLabel>
#include <QPalette>

CPane::CPane(QWidget* parent, int resource, const std::u16string& section, const std::u16string& titleKey,
             const std::u16string& caption)
    : QWidget(parent), resource_(resource), focus_(new FocusMarker(this)) {
    setGeometry(0, 0, 320, 217);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    setAutoFillBackground(true);
    if (titleKey.empty())
        return;
    const LanguageTable texts(LanguageId, section);
    title_ = new QLabel(QString::fromStdU16String(texts.TextOr(titleKey, caption)), this);
    title_->setGeometry(0, 0, 320, 20);
    title_->setAlignment(Qt::AlignCenter);
}

QString CPane::Title() const {
    return title_ ? title_->text() : QString();
}
