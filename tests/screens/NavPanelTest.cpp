#include "instrument/screens/CNavPanel.h"
#include "instrument/screens/CPane.h"
#include "instrument/screens/PanelKeyEvent.h"
#include "instrument/state/AppState.h"

#include "platform/VirtualKeys.h"

#include "tests/support/TempRoot.h"
#include "tests/support/qt/QtTestApp.h"
#include "tests/support/screens/RecordingScreens.h"

#include <QCoreApplication>
#include <QPushButton>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A panel that records its actions; slot 2 is not used, slot 0 takes its label from the section.
class ProbePanel : public CNavPanel {
public:
    explicit ProbePanel(QWidget* parent)
        : CNavPanel(parent, 1, u"Probe_nav", {u"一", u"二", u"三", u"四"}, 0x1, 0xB) {}
    std::vector<int> ran;
    int escapes = 0;
    std::vector<uint32_t> others;

protected:
    void OnSlot(int slot) override { ran.push_back(slot); }
    void OnEscape() override { ++escapes; }
    void OnKey(uint32_t vk) override { others.push_back(vk); }
};

class NavPanelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
    void SetUp() override {
        root.Write("NandFlash/languageEN.ini",
                   Utf16Bytes("[Probe_nav]\r\nfirstbutton=One\r\nsecondbutton=Two\r\n"
                              "[Probe_body]\r\ntop=Probe\r\n"));
        LanguageId = 0;
    }
    TempRoot root;
    QWidget window;
};

TEST_F(NavPanelTest, SlotsSitInTheStripWithTheirLabelsAndUnusedSlotsHaveNoButton) {
    ProbePanel panel(&window);
    EXPECT_EQ(panel.geometry(), QRect(0, 217, 320, 23));
    for (int slot = 0; slot < CNavPanel::kSlots; ++slot)
        EXPECT_EQ(panel.Button(slot)->geometry(), QRect(10 + 77 * slot, 0, 70, 22));
    // Only slot 0 is labelled from the section; the others keep their captions.
    EXPECT_EQ(panel.Button(0)->text(), "One");
    EXPECT_EQ(panel.Button(1)->text(), QStringLiteral("二"));
    EXPECT_TRUE(panel.Button(2)->isHidden());
    EXPECT_FALSE(panel.Button(3)->isHidden());
}

TEST_F(NavPanelTest, FunctionKeysAndTapsRunTheSameSlotOnKeyDownOnly) {
    ProbePanel panel(&window);
    for (uint32_t vk : {platform::VK_F1, platform::VK_F2, platform::VK_F3, platform::VK_F4})
        SendPanelKey(panel, vk);
    for (int slot = 0; slot < CNavPanel::kSlots; ++slot)
        panel.Button(slot)->click();
    // Slot 2 is not used: neither its key nor its (hidden) button reaches an action.
    EXPECT_EQ(panel.ran, (std::vector<int>{0, 1, 3, 0, 1, 3}));

    PanelKeyEvent up(platform::VK_F1, platform::WM_KEYUP);
    QCoreApplication::sendEvent(&panel, &up);
    EXPECT_EQ(panel.ran.size(), 6u);
}

TEST_F(NavPanelTest, ADisabledButtonBlocksItsKeyAndEscapeAndOtherKeysHaveTheirOwnWays) {
    ProbePanel panel(&window);
    panel.Button(1)->setEnabled(false);
    SendPanelKey(panel, platform::VK_F2);
    EXPECT_TRUE(panel.ran.empty());
    SendPanelKey(panel, platform::VK_ESCAPE);
    SendPanelKey(panel, platform::VK_UP);
    EXPECT_EQ(panel.escapes, 1);
    EXPECT_EQ(panel.others, std::vector<uint32_t>{platform::VK_UP});
}

TEST_F(NavPanelTest, APaneTakesItsTitleFromItsSectionOrWithoutALanguageItsCaption) {
    const CPane titled(&window, 2, u"Probe_body", u"top", u"标题");
    EXPECT_EQ(titled.Title(), "Probe");
    // A text missing from a chosen language file reads as the language table's default.
    const CPane missing(&window, 3, u"Probe_body", u"absent", u"标题");
    EXPECT_EQ(missing.Title(), "flase");
    LanguageId = 7; // no language file: the caption
    const CPane captioned(&window, 3, u"Probe_body", u"top", u"标题");
    EXPECT_EQ(captioned.Title(), QStringLiteral("标题"));
    const CPane untitled(&window, 4, u"Probe_body", u"", u"");
    EXPECT_TRUE(untitled.Title().isEmpty());
}

} // namespace
