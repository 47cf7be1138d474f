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
    TempRoot root;
    QWidget window;
    RecordingScreens screens;
};

TEST_P(SystemPanelsTest, EachPanelLeadsWhereItsKeysSayAndBackWhereItCameFrom) {
    CSystemSetNav systemSet(&window, screens);
    CSystemInfoNav info(&window, screens);
    CSystemHelpNav help(&window, screens);
    // The keys that lead elsewhere; F2-F4 of the information panel lead nowhere.
    const std::vector<std::pair<CNavPanel*, uint32_t>> keys = {
        {&systemSet, platform::VK_F1}, {&systemSet, platform::VK_F2}, {&systemSet, platform::VK_ESCAPE},
        {&info, platform::VK_F1},      {&info, platform::VK_F2},      {&info, platform::VK_F3},
        {&info, platform::VK_F4},      {&info, platform::VK_ESCAPE},  {&help, platform::VK_F4},
        {&help, platform::VK_ESCAPE}};
    for (const auto& [panel, vk] : keys)
        SendPanelKey(*panel, vk);
    const std::vector<std::pair<CNavPanel*, Screen>> expected = {
        {&systemSet, Screen::SubSysSet}, {&systemSet, Screen::SystemInfo}, {&systemSet, Screen::Second},
        {&info, Screen::SystemSet},      {&info, Screen::SystemSet},       {&help, Screen::Second},
        {&help, Screen::Second}};
    EXPECT_EQ(screens.shown, expected);
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
