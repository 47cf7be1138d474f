#pragma once
#include "pc/Commands.h"

#include <QMainWindow>
#include <QString>
#include <map>
#include <vector>

class COTDRDoc;
class COTDRView;
class QAction;
class QMenu;

// The main window: 900 x 750, fixed, with the menu, the toolbar and the form view.
class CMainFrame : public QMainWindow {
public:
    static constexpr const char* kTitle = "OTDR Management Software";
    static constexpr int kRecentFiles = 4;

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    COTDRView& View() const { return *view_; }
    COTDRDoc& Document() const { return *document_; }
    // A command as its menu item or toolbar button runs it.
    void Run(Command command);
    // The menu item by its path, "Curve Operation/Horizontal Zoom-in", mnemonics and blanks at the ends
    // ignored; null when there is none.
    QAction* MenuItem(const QString& path) const;
    QAction* Action(Command command) const { return actions_.at(command); }
    // Toolbar buttons in order, separators left out.
    std::vector<Command> ToolbarCommands() const { return toolbar_; }
    QString CommandText(Command command) const;
    // The recent files of the File menu, newest first.
    QStringList RecentFiles() const;
    // The Open command once its dialog has given a path; true when opened.
    bool OpenChosenFile(const QString& path);
    // Opens a file through the document, as the command line and the recent files do; true when opened.
    bool OpenDocument(const QString& path);
    // Import SOR... once its dialogs have given both paths: the trace file written; false after a
    // message saying why not.
    bool ImportSorFile(const QString& sorPath, const QString& tracePath);
    // Export SOR... once its dialog has given the path; false after a message saying why not.
    bool ExportSorFile(const QString& path);
    // Enabling and check marks from the view's state.
    void UpdateCommands();
    // The document's name into the title.
    void SetDocumentName(const QString& name);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenu();
    void BuildToolbar();
    void OpenRecent(int index);
    void RememberFile(const QString& path);
    void FillRecentMenu();
    // The report into a PDF file named in a save dialog.
    void ExportPdf();
    // A SOR file chosen, the trace file to write named, then opened.
    void ImportSor();
    void ExportSor();

    COTDRView* view_;
    COTDRDoc* document_;
    std::map<Command, QAction*> actions_;
    std::vector<Command> toolbar_;
    QMenu* fileMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    std::vector<QAction*> recent_;
};
