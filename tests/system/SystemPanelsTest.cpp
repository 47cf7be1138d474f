#include "instrument/state/ResourceIds.h"
#include "instrument/system/ui/CHelpOTDR.h"
#include "instrument/system/ui/CSubSysSetNav.h"
#include "instrument/system/ui/CSystemHelpNav.h"
#include "instrument/system/ui/CSystemInfoBody.h"
#include "instrument/system/ui/CSystemInfoNav.h"
#include "instrument/system/ui/CSystemSetBody.h"
#include "instrument/system/ui/CSystemSetNav.h"

#include "platform/VirtualKeys.h"

#include "tests/support/qt/QtTestApp.h"
#include "tests/support/screens/DeliveredTexts.h"
#include "tests/support/screens/RecordingScreens.h"

#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using Screen = ScreenSwitch::Screen;

class SystemPanelsTest : public ::testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
    void SetUp() override { UseDeliveredTexts(root, GetParam()); }
    QString Expected(const char* english, const char* chinese) const {
        return QString::fromUtf8(GetParam() == 0 ? english : chinese);
    }
    // The screens a panel leads to from each of F1..F4 and Escape; Main stands for "stays".
    std::vector<Screen> Leads(CNavPanel& panel) {
        std::vector<Screen> leads;
        for (uint32_t vk :
             {platform::VK_F1, platform::VK_F2, platform::VK_F3, platform::VK_F4, platform::VK_ESCAPE}) {
            const size_t before = screens.shown.size();
            SendPanelKey(panel, vk);
            leads.push_back(screens.shown.size() == before ? Screen::Main : screens.Last());
            EXPECT_LE(screens.shown.size(), before + 1);
        }
        return leads;
    }

    TempRoot root;
    QWidget window;
    RecordingScreens screens;
};

TEST_P(SystemPanelsTest, EachPanelLeadsWhereItsKeysSayAndBackWhereItCameFrom) {
    CSystemSetNav systemSet(&window, screens);
    EXPECT_EQ(Leads(systemSet), (std::vector<Screen>{Screen::SubSysSet, Screen::SystemInfo, Screen::Main,
                                                     Screen::Main, Screen::Second}));
    CSubSysSetNav subSysSet(&window, screens);
    EXPECT_EQ(Leads(subSysSet), (std::vector<Screen>{Screen::Main, Screen::Main, Screen::Main,
                                                     Screen::SystemSet, Screen::SystemSet}));
    CSystemInfoNav info(&window, screens);
    EXPECT_EQ(Leads(info), (std::vector<Screen>{Screen::SystemSet, Screen::Main, Screen::Main, Screen::Main,
                                                Screen::SystemSet}));
    CSystemHelpNav help(&window, screens);
    EXPECT_EQ(Leads(help), (std::vector<Screen>{Screen::Main, Screen::Main, Screen::Main, Screen::Second,
                                                Screen::Second}));
    // Every switch names the panel that acted.
    for (const auto& [from, to] : screens.shown)
        EXPECT_TRUE(from == &systemSet || from == &subSysSet || from == &info || from == &help);
}

TEST_P(SystemPanelsTest, PanelsAndPanesTakeTheirTextsFromTheDeliveredLanguageFile) {
    const CSystemSetNav systemSet(&window, screens);
    EXPECT_EQ(systemSet.Resource(), dlg::kSystemSetNav);
    EXPECT_EQ(systemSet.Button(3)->text(), Expected("Update", "系统升级"));
    const CSystemInfoNav info(&window, screens);
    EXPECT_EQ(info.Button(0)->text(), Expected("Back", "返回"));
    EXPECT_EQ(CSystemSetBody(&window).Title(), Expected("Time and Power-off", "时间与关机设置"));
    EXPECT_EQ(CSystemInfoBody(&window).Title(), Expected("System Information", "系统信息"));
    EXPECT_EQ(CHelpOTDR(&window).Title(), Expected("Help", "帮助"));
}

INSTANTIATE_TEST_SUITE_P(Languages, SystemPanelsTest, ::testing::Values(0, 1));

} // namespace
