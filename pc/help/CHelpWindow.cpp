#include "pc/help/CHelpWindow.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString MissingPage(const QString& folder) {
    return QStringLiteral("<html><body><h1>Help pages not found</h1>"
                          "<p>OTDR looks for its help pages in the folder</p><p><tt>%1</tt></p>"
                          "<p>That folder, or its index.htm, is missing. The pages are delivered beside the "
                          "program in the folder OTDR_help_E; install the program again to restore them.</p>"
                          "</body></html>")
        .arg(folder.toHtmlEscaped());
}

// Whether the desktop would open a compiled help file with something: a default application for its
// type. openUrl alone reports success even when it only shows the desktop's "no application" box.
bool ChmViewerRegistered() {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("application/vnd.ms-htmlhelp")});
    if (!query.waitForFinished(3000) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return false;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace

CHelpWindow::CHelpWindow(const QString& folder, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("OTDR Help"));
    resize(760, 600);

    m_pBrowser = new QTextBrowser(this);
    m_pBrowser->setOpenExternalLinks(true);
    m_pBack = new QPushButton(QStringLiteral("Back"), this);
    m_pForward = new QPushButton(QStringLiteral("Forward"), this);
    m_pContents = new QPushButton(QStringLiteral("Contents"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    m_pBack->setEnabled(false);
    m_pForward->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pBack);
    buttons->addWidget(m_pForward);
    buttons->addWidget(m_pContents);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_pBrowser);

    connect(m_pBack, &QPushButton::clicked, m_pBrowser, &QTextBrowser::backward);
    connect(m_pForward, &QPushButton::clicked, m_pBrowser, &QTextBrowser::forward);
    connect(m_pContents, &QPushButton::clicked, this, [this] { ShowContents(); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_pBrowser, &QTextBrowser::backwardAvailable, m_pBack, &QPushButton::setEnabled);
    connect(m_pBrowser, &QTextBrowser::forwardAvailable, m_pForward, &QPushButton::setEnabled);
    connect(m_pBrowser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = m_pBrowser->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("OTDR Help")
                                       : QStringLiteral("OTDR Help - ") + title);
    });

    m_strIndex = QDir(folder).filePath(QStringLiteral("index.htm"));
    m_bPagesFound = QFileInfo(m_strIndex).isFile();
    if (m_bPagesFound) {
        m_pBrowser->setSource(QUrl::fromLocalFile(m_strIndex));
    } else {
        m_pBrowser->setHtml(MissingPage(QDir::toNativeSeparators(folder)));
        m_pContents->setEnabled(false);
    }
}

void CHelpWindow::ShowContents() {
    if (m_bPagesFound)
        m_pBrowser->setSource(QUrl::fromLocalFile(m_strIndex));
}

QString HelpFolder() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("OTDR_help_E"));
}

QString HelpChmPath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("OTDR_help_E.chm"));
}

bool OpenHelp(QWidget* parent) {
    const QString chm = HelpChmPath();
    if (QFileInfo(chm).isFile() && ChmViewerRegistered() &&
        QDesktopServices::openUrl(QUrl::fromLocalFile(chm)))
        return true;

    static QPointer<CHelpWindow> window;
    if (!window) {
        window = new CHelpWindow(HelpFolder(), parent);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window->PagesFound();
}
