#include "instrument/files/ui/CFileCopyBody.h"
#include "instrument/files/ui/CFileCopyNav.h"
#include "instrument/files/ui/CFileDeleteNav.h"
#include "instrument/files/ui/CFileSaveBody.h"
#include "instrument/files/ui/CFileSaveNav.h"
#include "instrument/state/ResourceIds.h"

#include "tests/support/qt/QtTestApp.h"
#include "tests/support/screens/DeliveredTexts.h"
#include "tests/support/screens/RecordingScreens.h"

#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class FilePanelsTest : public ::testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
    void SetUp() override { UseDeliveredTexts(root, GetParam()); }
    QString Expected(const char* english, const char* chinese) const {
        return QString::fromUtf8(GetParam() == 0 ? english : chinese);
    }
    static QStringList Labels(const CNavPanel& panel) {
        QStringList labels;
        for (int slot = 0; slot < CNavPanel::kSlots; ++slot)
            labels << panel.Button(slot)->text();
        return labels;
    }

    TempRoot root;
    QWidget window;
    RecordingScreens screens;
};

TEST_P(FilePanelsTest, PanelsAndPanesTakeTheirTextsFromTheDeliveredLanguageFile) {
    const CFileSaveNav save(&window, screens);
    EXPECT_EQ(save.Resource(), dlg::kFileSaveNav);
    EXPECT_EQ(Labels(save).join('|'),
              Expected("Save|Location|Edit name|Back", "保存|切换路径|编辑名称|返回"));
    const CFileCopyNav copy(&window, screens);
    EXPECT_EQ(Labels(copy).join('|'),
              Expected("Copy|Switch|Sel. all|Back", "拷贝文件|切换窗口|全部选中|返回"));
    const CFileDeleteNav erase(&window, screens);
    EXPECT_EQ(Labels(erase).join('|'),
              Expected("Delete|Del. all|Location|Back", "删除单项|删除全部|切换路径|返回"));
    EXPECT_EQ(CFileSaveBody(&window).Title(), Expected("Save File", "保存文件"));
    EXPECT_EQ(CFileCopyBody(&window).Title(), Expected("Copy Files", "拷贝文件"));
}

INSTANTIATE_TEST_SUITE_P(Languages, FilePanelsTest, ::testing::Values(0, 1));

} // namespace
