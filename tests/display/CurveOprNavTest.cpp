#include "instrument/acquisition/TraceData.h"
#include "instrument/display/ui/CCurveOprNav.h"
#include "instrument/display/ui/CDataLine.h"
#include "instrument/screens/PanelKeyEvent.h"
#include "instrument/screens/StatusLine.h"

#include "platform/DebugOut.h"
#include "platform/VirtualKeys.h"

#include "tests/support/qt/QtTestApp.h"
#include "tests/support/screens/RecordingScreens.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class IconStatus : public StatusLine {
public:
    void ShowStatus(int, const std::u16string&) override {}
    void SetOperationIcon(int code) override { icon = code; }
    int icon = 0;
};

// The panel's own screens: the trace view it operates and the status bar it sets.
class CurveScreens : public RecordingScreens {
public:
    explicit CurveScreens(CDataLine& view) : view_(view) {}
    CDataLine& TraceView() override { return view_; }
    StatusLine& Status() override { return status; }
    IconStatus status;

private:
    CDataLine& view_;
};

class CurveOprNavTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
    void SetUp() override {
        platform::SetDebugSink([this](std::string_view line) { debug.emplace_back(line); });
    }
    void TearDown() override { platform::SetDebugSink({}); }
    void Send(QWidget& target, uint32_t vk, uint32_t message) {
        PanelKeyEvent event(vk, message);
        QCoreApplication::sendEvent(&target, &event);
    }

    std::vector<std::string> debug;
};

TEST_F(CurveOprNavTest, EveryKeyDownWritesThePanelsNameThenTheKeysName) {
    TraceData trace;
    CDataLine view(nullptr, trace, 1);
    CurveScreens screens(view);
    CCurveOprNav panel(nullptr, screens);
    for (const auto& [vk, name] : std::vector<std::pair<uint32_t, std::string>>{
             {platform::VK_F1, "VK_F1"}, {platform::VK_UP, "VK_UP"}, {platform::VK_ESCAPE, "VK_ESCAPE"}}) {
        debug.clear();
        Send(panel, vk, platform::WM_KEYDOWN);
        EXPECT_EQ(debug, (std::vector<std::string>{"CCurveOprNav\r\n", name + "    Nav1-------------\r\n"}))
            << name;
        debug.clear();
        Send(panel, vk, platform::WM_KEYUP);
        EXPECT_TRUE(debug.empty()) << name;
    }
    // The keys still did their work.
    EXPECT_FALSE(panel.HorizontalMode()); // F1 set it, Escape cleared it
    ASSERT_FALSE(screens.shown.empty());
    EXPECT_EQ(screens.Last(), ScreenSwitch::Screen::Main);
    EXPECT_EQ(screens.status.icon, StatusLine::kNone);
}

} // namespace
