#include "pc/CMainFrame.h"

#include "pc/CAboutDlg.h"
#include "pc/CDataLine.h"
#include "pc/COTDRApp.h"
#include "pc/COTDRDoc.h"
#include "pc/COTDRView.h"
#include "pc/SorExchange.h"
#include "pc/TestReport.h"
#include "pc/help/CHelpWindow.h"
#include "pc/resources/Icons.h"

#include "platform/MessageBox.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QToolBar>
#include <optional>

namespace {

struct CommandEntry {
    Command command;
    const char* text; // as in the menu, with its mnemonic
    const char* icon; // toolbar icon, or null
};

constexpr CommandEntry kCommands[] = {
    {Command::Open, "&Open File ", "open"},
    {Command::Print, "&Print", "print"},
    {Command::ExportPdf, "Export Report as PDF...", nullptr},
    {Command::ImportSor, "Import SOR...", nullptr},
    {Command::ExportSor, "Export SOR...", nullptr},
    {Command::Exit, "E&xit", nullptr},
    {Command::ChangeMark, "Change &Mark", "change-mark"},
    {Command::LeftShiftCursor, "&Left Shift Cursor ", "cursor-left"},
    {Command::RightShiftCursor, "&Right Shift Cursor ", "cursor-right"},
    {Command::HorizontalZoomIn, "Horizontal Zoom-in", "zoom-in-h"},
    {Command::HorizontalZoomOut, "Horizontal Zoom-out", "zoom-out-h"},
    {Command::VerticalZoomIn, "Vertical Zoom-in", "zoom-in-v"},
    {Command::VerticalZoomOut, "Vertical Zoom-out", "zoom-out-v"},
    {Command::MovesUpCurve, "Moves &Up Curve", "curve-up"},
    {Command::MovesDownCurve, "Moves &Down Curve", "curve-down"},
    {Command::RestoreCurve, "Restore Curve", "restore"},
    {Command::EventAnalysis, "&Event Analysis", nullptr},
    {Command::TestAverageLoss, "Test Average Loss", "test-average-loss"},
    {Command::TestJointLoss, "Test Joint Loss", "test-joint-loss"},
    {Command::Help, "&Help", nullptr},
    {Command::About, "&About OTDR", nullptr},
};

// No command: a separator.
constexpr std::optional<Command> kToolbar[] = {
    Command::Open,
    Command::Print,
    std::nullopt,
    Command::LeftShiftCursor,
    Command::RightShiftCursor,
    Command::ChangeMark,
    std::nullopt,
    Command::MovesUpCurve,
    Command::MovesDownCurve,
    Command::HorizontalZoomIn,
    Command::HorizontalZoomOut,
    Command::VerticalZoomIn,
    Command::VerticalZoomOut,
    Command::RestoreCurve,
    std::nullopt,
    Command::TestAverageLoss,
    Command::TestJointLoss,
};

const CommandEntry& Entry(Command command) {
    for (const CommandEntry& entry : kCommands)
        if (entry.command == command)
            return entry;
    return kCommands[0];
}

// The text without its mnemonic marks and outer blanks, as a script names it.
QString PlainText(const QString& text) {
    QString plain = text;
    plain.remove(QLatin1Char('&'));
    return plain.trimmed();
}

void Tell(const QString& text) {
    platform::MessageBox(text.toStdU16String(),
                         QString::fromLatin1(COTDRView::kPromptCaption).toStdU16String(), platform::MB_OK);
}

QString SorFilter() {
    return QStringLiteral("SOR (*.sor *.SOR)");
}

QSettings RecentFileSettings() {
    return QSettings(QString::fromUtf8(COTDRApp::kRegistryKey), QStringLiteral("OTDR"));
}

} // namespace

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent), view_(new COTDRView(this)), document_(new COTDRDoc(*view_)) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(900, 750);
    setWindowIcon(ProgramIcon());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setCentralWidget(view_);
    for (const CommandEntry& entry : kCommands) {
        auto* action = new QAction(QString::fromLatin1(entry.text), this);
        if (entry.icon)
            action->setIcon(ToolbarIcon(entry.icon));
        action->setCheckable(entry.command == Command::TestAverageLoss ||
                             entry.command == Command::TestJointLoss);
        const Command command = entry.command;
        connect(action, &QAction::triggered, this, [this, command] { Run(command); });
        actions_[command] = action;
    }
    BuildMenu();
    BuildToolbar();
    view_->OnStateChanged([this] { UpdateCommands(); });
    SetDocumentName({});
    UpdateCommands();
}

CMainFrame::~CMainFrame() {
    delete document_;
}

void CMainFrame::BuildMenu() {
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu_->addAction(actions_[Command::Open]);
    fileMenu_->addAction(actions_[Command::Print]);
    fileMenu_->addAction(actions_[Command::ExportPdf]);
    fileMenu_->addSeparator();
    fileMenu_->addAction(actions_[Command::ImportSor]);
    fileMenu_->addAction(actions_[Command::ExportSor]);
    recentSeparator_ = fileMenu_->addSeparator();
    for (int i = 0; i < kRecentFiles; ++i) {
        auto* action = fileMenu_->addAction(QString());
        connect(action, &QAction::triggered, this, [this, i] { OpenRecent(i); });
        recent_.push_back(action);
    }
    fileMenu_->addSeparator();
    fileMenu_->addAction(actions_[Command::Exit]);
    FillRecentMenu();

    QMenu* curve = menuBar()->addMenu(QStringLiteral("Curve Operation"));
    for (Command command :
         {Command::ChangeMark, Command::LeftShiftCursor, Command::RightShiftCursor, Command::HorizontalZoomIn,
          Command::HorizontalZoomOut, Command::VerticalZoomIn, Command::VerticalZoomOut,
          Command::MovesUpCurve, Command::MovesDownCurve, Command::RestoreCurve})
        curve->addAction(actions_[command]);
    QMenu* analysis = menuBar()->addMenu(QStringLiteral("Curve Analysis"));
    analysis->addAction(actions_[Command::EventAnalysis]);
    QMenu* items = analysis->addMenu(QStringLiteral("Test Item"));
    items->addAction(actions_[Command::TestAverageLoss]);
    items->addAction(actions_[Command::TestJointLoss]);
    QMenu* about = menuBar()->addMenu(QStringLiteral("About"));
    about->addAction(actions_[Command::Help]);
    about->addAction(actions_[Command::About]);
}

void CMainFrame::BuildToolbar() {
    QToolBar* bar = addToolBar(QStringLiteral("Standard"));
    bar->setMovable(false);
    bar->setIconSize(QSize(22, 22));
    for (const std::optional<Command>& item : kToolbar) {
        if (!item) {
            bar->addSeparator();
            continue;
        }
        bar->addAction(actions_[*item]);
        toolbar_.push_back(*item);
    }
}

QString CMainFrame::CommandText(Command command) const {
    return PlainText(QString::fromLatin1(Entry(command).text));
}

QAction* CMainFrame::MenuItem(const QString& path) const {
    const QStringList parts = path.split(QLatin1Char('/'));
    QList<QAction*> level = menuBar()->actions();
    QAction* found = nullptr;
    for (const QString& part : parts) {
        found = nullptr;
        for (QAction* action : level) {
            if (!action->isSeparator() && PlainText(action->text()) == PlainText(part)) {
                found = action;
                break;
            }
        }
        if (!found)
            return nullptr;
        level = found->menu() ? found->menu()->actions() : QList<QAction*>{};
    }
    return found;
}

void CMainFrame::Run(Command command) {
    switch (command) {
    case Command::Open:
        if (const QString path = view_->ChooseFile(); !path.isEmpty())
            OpenChosenFile(path);
        break;
    case Command::Print:
        PrintWithDialog(*view_, this);
        break;
    case Command::ExportPdf:
        ExportPdf();
        break;
    case Command::ImportSor:
        ImportSor();
        break;
    case Command::ExportSor:
        ExportSor();
        break;
    case Command::Exit:
        close();
        break;
    case Command::Help:
        OpenHelp(this);
        break;
    case Command::About:
        CAboutDlg(this).exec();
        break;
    default:
        view_->Run(command);
        break;
    }
    UpdateCommands();
}

void CMainFrame::UpdateCommands() {
    for (const auto& [command, action] : actions_) {
        action->setEnabled(view_->Enabled(command));
        if (action->isCheckable())
            action->setChecked(view_->Checked(command));
    }
}

void CMainFrame::SetDocumentName(const QString& name) {
    const QString title = QString::fromLatin1(kTitle);
    setWindowTitle(name.isEmpty() ? title : name + QStringLiteral(" - ") + title);
}

QStringList CMainFrame::RecentFiles() const {
    QSettings settings = RecentFileSettings();
    QStringList files;
    for (int i = 1; i <= kRecentFiles; ++i) {
        const QString file = settings.value(QStringLiteral("Recent File List/File%1").arg(i)).toString();
        if (!file.isEmpty())
            files << file;
    }
    return files;
}

void CMainFrame::RememberFile(const QString& path) {
    QStringList files = RecentFiles();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    files.removeAll(absolute);
    files.prepend(absolute);
    QSettings settings = RecentFileSettings();
    for (int i = 1; i <= kRecentFiles; ++i)
        settings.setValue(QStringLiteral("Recent File List/File%1").arg(i),
                          i <= files.size() ? files[i - 1] : QString());
    settings.sync();
    SetDocumentName(QFileInfo(path).fileName());
    FillRecentMenu();
}

void CMainFrame::FillRecentMenu() {
    const QStringList files = RecentFiles();
    recentSeparator_->setVisible(!files.isEmpty());
    for (int i = 0; i < kRecentFiles; ++i) {
        QAction* action = recent_[static_cast<size_t>(i)];
        action->setVisible(i < files.size());
        if (i < files.size())
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]));
    }
}

void CMainFrame::OpenRecent(int index) {
    const QStringList files = RecentFiles();
    if (index < files.size())
        OpenDocument(files[index]);
}

bool CMainFrame::OpenChosenFile(const QString& path) {
    if (!view_->OpenPath(path))
        return false;
    RememberFile(path);
    return true;
}

bool CMainFrame::OpenDocument(const QString& path) {
    if (!document_->OnOpenDocument(path))
        return false;
    RememberFile(path);
    UpdateCommands();
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    const int answer = platform::MessageBox(u"Are you sure to quit the management software?",
                                            QString::fromLatin1(COTDRView::kPromptCaption).toStdU16String(),
                                            platform::MB_YESNO | platform::MB_ICONINFORMATION);
    if (answer == platform::IDNO)
        event->ignore();
    else
        event->accept();
}

void CMainFrame::ExportPdf() {
    const QString name =
        view_->FileName().isEmpty() ? QString() : QFileInfo(view_->FileName()).completeBaseName() + ".pdf";
    const QString path = QFileDialog::getSaveFileName(this, CommandText(Command::ExportPdf), name,
                                                      QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty() || WriteReportPdf(*view_, path))
        return;
    Tell(QStringLiteral("Cannot write ") + path);
}

void CMainFrame::ImportSor() {
    const QString sorPath =
        QFileDialog::getOpenFileName(this, CommandText(Command::ImportSor), {}, SorFilter());
    if (sorPath.isEmpty())
        return;
    const QFileInfo sorInfo(sorPath);
    const QString tracePath = QFileDialog::getSaveFileName(
        this, CommandText(Command::ImportSor),
        sorInfo.dir().filePath(sorInfo.completeBaseName() + QStringLiteral(".st")),
        QStringLiteral("OTDRDATA (*.st)"));
    if (tracePath.isEmpty() || !ImportSorFile(sorPath, tracePath))
        return;
    OpenChosenFile(tracePath);
}

bool CMainFrame::ImportSorFile(const QString& sorPath, const QString& tracePath) {
    QString note;
    const QString problem = ::ImportSorFile(sorPath, tracePath, note);
    if (!problem.isEmpty()) {
        Tell(problem);
        return false;
    }
    if (!note.isEmpty())
        Tell(note);
    return true;
}

void CMainFrame::ExportSor() {
    const pc::TraceModel* model = view_->TraceView().Model();
    if (!model)
        return;
    // Beside the trace, under its name.
    const QFileInfo trace(QFile::decodeName(QByteArray::fromStdString(model->Path())));
    const QString name = trace.dir().filePath(trace.completeBaseName() + QStringLiteral(".sor"));
    const QString path =
        QFileDialog::getSaveFileName(this, CommandText(Command::ExportSor), name, SorFilter());
    if (!path.isEmpty())
        ExportSorFile(path);
}

bool CMainFrame::ExportSorFile(const QString& path) {
    const QString problem = ::ExportSorFile(*view_, path);
    if (problem.isEmpty())
        return true;
    Tell(problem);
    return false;
}
