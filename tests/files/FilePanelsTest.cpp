#include "instrument/files/ui/CFileCopyBody.h"
#include "instrument/files/ui/CFileCopyNav.h"
#include "instrument/files/ui/CFileDeleteNav.h"
#include "instrument/files/ui/CFileOprNav.h"
#include "instrument/files/ui/CFileReadBody.h"
#include "instrument/files/ui/CFileReadNav.h"
#include "instrument/files/ui/CFileSaveBody.h"
#include "instrument/files/ui/CFileSaveNav.h"
#include "instrument/files/ui/FileListControl.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"

#include "tests/support/qt/QtTestApp.h"
#include "tests/support/screens/DeliveredTexts.h"
#include "tests/support/screens/RecordingScreens.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

class FilePanelsTest : public ::testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
    void SetUp() override { UseDeliveredTexts(root, GetParam()); }
    void TearDown() override { LanguageId = 0; }
    QString Expected(const char* english, const char* chinese) const {
        return QString::fromUtf8(GetParam() == 0 ? english : chinese);
    }
    static QString Labels(const CNavPanel& panel) {
        QStringList labels;
        for (int slot = 0; slot < CNavPanel::kSlots; ++slot)
            labels << panel.Button(slot)->text();
        return labels.join('|');
    }
    static QString Headers(const FileListControl& list) {
        QStringList headers;
        for (int column = 0; column < list.columnCount(); ++column)
            if (!list.isColumnHidden(column))
                headers << list.headerItem()->text(column);
        return headers.join('|');
    }
    // The captions of a pane's labels and buttons, sorted.
    static QString Captions(const QWidget& pane) {
        QStringList captions;
        for (const QObject* child : pane.children()) {
            if (const auto* label = qobject_cast<const QLabel*>(child))
                captions << label->text();
            else if (const auto* button = qobject_cast<const QRadioButton*>(child))
                captions << button->text();
        }
        captions.sort();
        return captions.join('|');
    }

    TempRoot root;
    QWidget window;
    RecordingScreens screens;
};

TEST_P(FilePanelsTest, PanelsTakeTheirLabelsFromTheDeliveredLanguageFile) {
    const CFileOprNav menu(&window, screens);
    EXPECT_EQ(menu.Resource(), dlg::kFileOprNav);
    EXPECT_EQ(Labels(menu), Expected("Save|Open|Delete|Copy", "保存文件|读取文件|删除文件|拷贝文件"));
    const CFileSaveNav save(&window, screens);
    EXPECT_EQ(save.Resource(), dlg::kFileSaveNav);
    EXPECT_EQ(Labels(save), Expected("Save|Location|Edit name|Back", "保存|切换路径|编辑名称|返回"));
    const CFileReadNav open(&window, screens);
    EXPECT_EQ(open.Resource(), dlg::kFileReadNav);
    EXPECT_EQ(Labels(open), Expected("Open|Location||Back", "打开|切换路径||返回"));
    EXPECT_TRUE(open.Button(2)->isHidden());
    const CFileCopyNav copy(&window, screens);
    EXPECT_EQ(copy.Resource(), dlg::kFileCopyNav);
    EXPECT_EQ(Labels(copy), Expected("Copy|Switch|Sel. all|Back", "拷贝文件|切换窗口|全部选中|返回"));
    const CFileDeleteNav erase(&window, screens);
    EXPECT_EQ(erase.Resource(), dlg::kFileDeleteNav);
    EXPECT_EQ(Labels(erase), Expected("Delete|Del. all|Location|Back", "删除单项|删除全部|切换路径|返回"));
}

TEST_P(FilePanelsTest, PanesTakeTheirTitlesCaptionsAndHeadersFromTheDeliveredLanguageFile) {
    const CFileSaveBody save(&window);
    EXPECT_EQ(save.Resource(), dlg::kFileSaveBody);
    QStringList expected =
        Expected("Save File|File name:|Save to:|USB disk|Memory", "保存文件|文件名：|保存路径：|U盘|内存")
            .split('|');
    expected.sort();
    EXPECT_EQ(Captions(save), expected.join('|'));
    const CFileReadBody list(&window);
    EXPECT_EQ(list.Resource(), dlg::kFileReadBody);
    EXPECT_EQ(list.PathCaption(), Expected("Location:", "路径："));
    EXPECT_EQ(Headers(list.List()), Expected("Name|Size|Type|Date", "文件名|大小|类型|日期"));
    EXPECT_EQ(list.Storage().Usb().text(), Expected("USB disk", "U盘"));
    const CFileCopyBody copy(&window);
    EXPECT_EQ(copy.Resource(), dlg::kFileCopyBody);
    EXPECT_EQ(copy.Title(), Expected("Copy Files", "拷贝文件"));
    EXPECT_EQ(Headers(copy.List(CFileCopyBody::kMemory)), Expected("Memory", "内存"));
    EXPECT_EQ(Headers(copy.List(CFileCopyBody::kUsb)), Expected("USB disk", "U盘"));
    EXPECT_EQ(copy.CopyButton(CFileCopyBody::kMemory).objectName().toInt(), ctl::kCopyToUsb);
    EXPECT_EQ(copy.CopyButton(CFileCopyBody::kMemory).text(), ">>");
    EXPECT_EQ(copy.CopyButton(CFileCopyBody::kUsb).objectName().toInt(), ctl::kCopyToMemory);
    EXPECT_EQ(copy.CopyButton(CFileCopyBody::kUsb).text(), "<<");
}

INSTANTIATE_TEST_SUITE_P(Languages, FilePanelsTest, ::testing::Values(0, 1));

TEST(FilePanelsWithoutLanguageTest, PanelsKeepTheirOwnCaptionsWithoutALanguageFile) {
    EnsureQtApplication();
    LanguageId = 3;
    QWidget window;
    RecordingScreens screens;
    EXPECT_EQ(CFileOprNav(&window, screens).Button(3)->text(), "拷贝文件");
    EXPECT_EQ(CFileDeleteNav(&window, screens).Button(3)->text(), QString::fromUtf8("返　回"));
    EXPECT_EQ(CFileCopyNav(&window, screens).Button(2)->text(), "全部选中");
    LanguageId = 0;
}

} // namespace
