#include "pc/help/CHelpWindow.h"
#include "tests/support/qt/QtTestApp.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

void WriteFile(const QString& path, const char* text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QString ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void Key(QWidget* widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

class HelpWindow : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApplication();
        ASSERT_TRUE(m_dir.isValid());
        WriteFile(m_dir.filePath("index.htm"),
                  "<html><head><title>Contents</title></head><body><h1>Contents</h1>"
                  "<p><a href=\"second.htm\">Second page</a></p></body></html>");
        WriteFile(m_dir.filePath("second.htm"),
                  "<html><head><title>Second</title></head><body><h1>The second page</h1></body></html>");
    }
    QUrl Page(const char* name) const { return QUrl::fromLocalFile(m_dir.filePath(name)); }
    QTemporaryDir m_dir;
};

TEST_F(HelpWindow, OpensTheIndexFollowsALinkAndGoesBackAndForward) {
    CHelpWindow window(m_dir.path());
    ASSERT_TRUE(window.PagesFound());
    EXPECT_EQ(window.Browser()->source(), Page("index.htm"));
    EXPECT_EQ(window.windowTitle(), "OTDR Help - Contents");
    EXPECT_FALSE(window.BackButton()->isEnabled());
    EXPECT_FALSE(window.ForwardButton()->isEnabled());

    // Follow the link as a user does with the keyboard: Tab to it, Enter.
    Key(window.Browser(), Qt::Key_Tab);
    Key(window.Browser(), Qt::Key_Return);
    EXPECT_EQ(window.Browser()->source(), Page("second.htm"));
    EXPECT_TRUE(window.Browser()->toPlainText().contains("The second page"));
    EXPECT_EQ(window.windowTitle(), "OTDR Help - Second");
    EXPECT_TRUE(window.BackButton()->isEnabled());

    window.BackButton()->click();
    EXPECT_EQ(window.Browser()->source(), Page("index.htm"));
    EXPECT_FALSE(window.BackButton()->isEnabled());
    EXPECT_TRUE(window.ForwardButton()->isEnabled());

    window.ForwardButton()->click();
    EXPECT_EQ(window.Browser()->source(), Page("second.htm"));

    window.ContentsButton()->click();
    EXPECT_EQ(window.Browser()->source(), Page("index.htm"));
    EXPECT_TRUE(window.BackButton()->isEnabled());
}

TEST_F(HelpWindow, MissingFolderOrIndexShowsWherePagesWereLookedFor) {
    const QString missing = m_dir.filePath("no-such-folder");
    CHelpWindow window(missing);
    EXPECT_FALSE(window.PagesFound());
    const QString text = window.Browser()->toPlainText();
    EXPECT_TRUE(text.contains("Help pages not found"));
    EXPECT_TRUE(text.contains(missing));
    EXPECT_FALSE(window.ContentsButton()->isEnabled());
    window.ContentsButton()->click();
    EXPECT_TRUE(window.Browser()->toPlainText().contains("Help pages not found"));

    QDir(m_dir.path()).remove("index.htm");
    CHelpWindow noIndex(m_dir.path());
    EXPECT_FALSE(noIndex.PagesFound());
    EXPECT_TRUE(noIndex.Browser()->toPlainText().contains("Help pages not found"));
}

// The pages the build puts beside the program, as OTDR finds them.
TEST(DeliveredHelp, EveryLinkLeadsToAPageAndAnchorThatExist) {
    EnsureQtApplication();
    const QDir folder(HelpFolder());
    const QStringList pages = folder.entryList({"*.htm"}, QDir::Files);
    ASSERT_TRUE(pages.contains("index.htm")) << folder.path().toStdString();
    ASSERT_GE(pages.size(), 5);
    const QRegularExpression href(R"re(href="([^"]*)")re");
    const QRegularExpression title("<title>[^<]+</title>");
    for (const QString& page : pages) {
        SCOPED_TRACE(page.toStdString());
        const QString text = ReadFile(folder.filePath(page));
        EXPECT_TRUE(title.match(text).hasMatch());
        for (auto it = href.globalMatch(text); it.hasNext();) {
            const QString link = it.next().captured(1);
            SCOPED_TRACE(link.toStdString());
            const QString file = link.section('#', 0, 0);
            const QString anchor = link.section('#', 1);
            ASSERT_TRUE(folder.exists(file.isEmpty() ? page : file));
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(ReadFile(folder.filePath(file.isEmpty() ? page : file))
                                .contains(QStringLiteral("id=\"%1\"").arg(anchor)));
            }
        }
    }
}

TEST(DeliveredHelp, NamesEveryMenuCommandAsTheMenuDoes) {
    EnsureQtApplication();
    const QDir folder(HelpFolder());
    QString all;
    for (const QString& page : folder.entryList({"*.htm"}, QDir::Files))
        all += ReadFile(folder.filePath(page));
    for (const char* item : {"Open File",
                             "Print",
                             "Exit",
                             "Change Mark",
                             "Left Shift Cursor",
                             "Right Shift Cursor",
                             "Horizontal Zoom-in",
                             "Horizontal Zoom-out",
                             "Vertical Zoom-in",
                             "Vertical Zoom-out",
                             "Moves Up Curve",
                             "Moves Down Curve",
                             "Restore Curve",
                             "Event Analysis",
                             "Test Average Loss",
                             "Test Joint Loss",
                             "About OTDR",
                             "Add Event",
                             "Modify Event",
                             "Delete Event",
                             "(A-B)Loss",
                             "(A-B)Distance",
                             "AverageLoss",
                             "JointLoss"})
        EXPECT_TRUE(all.contains(item)) << item;
}

TEST(DeliveredHelp, HelpCommandShowsTheOwnWindowWithTheIndex) {
    EnsureQtApplication();
    ASSERT_FALSE(QFileInfo::exists(HelpChmPath()));
    EXPECT_TRUE(OpenHelp(nullptr));
    CHelpWindow* shown = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = dynamic_cast<CHelpWindow*>(widget); window && window->isVisible())
            shown = window;
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->Browser()->source(), QUrl::fromLocalFile(QDir(HelpFolder()).filePath("index.htm")));

    // A second Help raises the same window rather than opening another.
    EXPECT_TRUE(OpenHelp(nullptr));
    int visible = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        visible += dynamic_cast<CHelpWindow*>(widget) && widget->isVisible();
    EXPECT_EQ(visible, 1);
}

} // namespace
