#include "instrument/system/ui/CHelpOTDR.h"

#include "instrument/config/LanguageTable.h"
#include "instrument/screens/PanelKeyEvent.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"

#include "platform/DevicePath.h"
#include "platform/Files.h"
#include "platform/VirtualKeys.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBrowser>
#include <filesystem>

namespace {

constexpr const char16_t* kSection = u"helpOtdr";

} // namespace

CHelpOTDR::CHelpOTDR(QWidget* parent)
    : CPane(parent, dlg::kHelpOTDR, kSection, u"top_help", u"帮助"), browser_(new QTextBrowser(this)) {
    browser_->setGeometry(2, 20, width() - 3, height() - 21);
    browser_->setFocusPolicy(Qt::StrongFocus);
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(false);
    browser_->installEventFilter(this);
    const char* page = LanguageId == 1 ? kChinesePage : LanguageId == 0 ? kEnglishPage : nullptr;
    // A page that would lie outside the device root is no page.
    std::filesystem::path location;
    if (page && platform::ResolveInRoot(page, location))
        start_ = QUrl::fromLocalFile(QString::fromStdString(location.string()));
    Open();
}

void CHelpOTDR::Open() {
    if (start_.isEmpty())
        return;
    if (!QFileInfo(start_.toLocalFile()).isFile()) {
        // In place of the browser's own error page.
        const LanguageTable texts(LanguageId, kSection);
        const QString text = QString::fromStdU16String(
            texts.TextOrOwn(u"message_nopage", u"The help page cannot be found:", u"找不到帮助页面："));
        browser_->setHtml(QStringLiteral("<p>%1</p><p>%2</p>")
                              .arg(text.toHtmlEscaped(), start_.toLocalFile().toHtmlEscaped()));
        return;
    }
    browser_->setSource(start_);
    browser_->verticalScrollBar()->setValue(0);
}

void CHelpOTDR::Back() {
    browser_->backward();
}

void CHelpOTDR::Forward() {
    browser_->forward();
}

void CHelpOTDR::Home() {
    Open();
}

bool CHelpOTDR::event(QEvent* event) {
    if (event->type() != PanelKeyEvent::kType)
        return CPane::event(event);
    // Up and Down scroll the page in the browser itself; Left and Right pass from link to link, and
    // Enter follows the marked one.
    const auto* key = static_cast<PanelKeyEvent*>(event);
    const uint32_t vk = key->VirtualKey();
    if (key->Message() == platform::WM_KEYDOWN && (vk == platform::VK_LEFT || vk == platform::VK_RIGHT)) {
        QKeyEvent step(QEvent::KeyPress, vk == platform::VK_RIGHT ? Qt::Key_Tab : Qt::Key_Backtab,
                       vk == platform::VK_RIGHT ? Qt::NoModifier : Qt::ShiftModifier);
        QCoreApplication::sendEvent(browser_, &step);
        // Past the last link the step would leave the browser; the page keeps the keys.
        browser_->setFocus(Qt::OtherFocusReason);
    }
    return true;
}

bool CHelpOTDR::eventFilter(QObject* watched, QEvent* event) {
    // The keypad's Left and Right are link steps (above), not the browser's own.
    if (watched == browser_ && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Left || key == Qt::Key_Right)
            return true;
    }
    return CPane::eventFilter(watched, event);
}

void CHelpOTDR::showEvent(QShowEvent* event) {
    CPane::showEvent(event);
    browser_->setFocus(Qt::OtherFocusReason);
}
