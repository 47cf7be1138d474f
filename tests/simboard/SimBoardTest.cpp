#include "simboard/SimBoard.h"

#include "instrument/acquisition/DriverCalls.h"

#include "platform/DebugOut.h"
#include "platform/Device.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class SimBoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        simboard::RegisterSimulatedBoard();
        board.Reset();
        platform::SetDebugSink([this](std::string_view line) { debug += line; });
    }
    void TearDown() override { platform::SetDebugSink(nullptr); }

    simboard::SimBoard& board = simboard::SimBoard::Instance();
    std::string debug;
};

TEST_F(SimBoardTest, PowerDeviceShowsItsStateAndPowersOff) {
    driver::MeasuringSectionOn();
    EXPECT_TRUE(board.MeasuringSectionOn());
    driver::MeasuringSectionOff();
    EXPECT_FALSE(board.MeasuringSectionOn());

    const platform::DeviceHandle pof = driver::Open("POF1:");
    driver::VflOn(pof);
    EXPECT_TRUE(board.LightOn());
    driver::VflOff(pof);
    EXPECT_FALSE(board.LightOn());
    EXPECT_EQ(debug, "VFL_OPEN finish\r\nVFL_Close finish\r\n");
    EXPECT_EQ(platform::DeviceIoControl(pof, 3, nullptr, 0, nullptr, 0), 0);
    platform::CloseDevice(pof);

    int handled = 0;
    board.SetPowerOffHandler([&] { ++handled; });
    EXPECT_EQ(driver::PowerOff(), 1);
    EXPECT_TRUE(board.PoweredOff());
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(board.Calls("POF1:", platform::POF_IOCTL_POWER_OFF), 1u);
    board.SetPowerOffHandler(nullptr);
}

TEST_F(SimBoardTest, BatteryWritesItsLevelThoughNoSizeIsDeclared) {
    const platform::DeviceHandle bat = driver::Open("BAT1:");
    uint8_t level = 0;
    ASSERT_TRUE(driver::ReadBatteryLevel(bat, level));
    EXPECT_EQ(level, 255);
    board.SetBatteryLevel(29);
    ASSERT_TRUE(driver::ReadBatteryLevel(bat, level));
    EXPECT_EQ(level, 29);
    EXPECT_EQ(platform::DeviceIoControl(bat, 1, nullptr, 0, nullptr, 0), 0);
    platform::CloseDevice(bat);
    debug.clear();
    EXPECT_FALSE(driver::ReadBatteryLevel(bat, level));
    EXPECT_EQ(debug, "OTDR_IOCTL_WRITE_LOW failed!\r\n");
}

TEST_F(SimBoardTest, AcquisitionBoardTakesRegisterWritesAndAdvancesItsFifo) {
    const platform::DeviceHandle otr = driver::Open("OTR1:");
    ASSERT_NE(otr, platform::INVALID_HANDLE_VALUE);
    const platform::RegisterWriteBuffer write{0x200, 0xBEEF, 0};
    EXPECT_NE(platform::DeviceIoControl(otr, platform::OTDR_IOCTL_WRITE, &write, sizeof write, nullptr, 0),
              0);
    EXPECT_EQ(board.Register(0x200), 0xBEEF);
    const platform::RegisterWriteBuffer advance{0x2D0, 0, 0};
    for (int i = 0; i < 3; ++i)
        platform::DeviceIoControl(otr, platform::OTDR_IOCTL_WRITE, &advance, sizeof advance, nullptr, 0);
    EXPECT_EQ(board.FifoPosition(), 3u);
    EXPECT_EQ(board.RegisterWrites(0x2D0), 3u);
    uint32_t word = 1;
    EXPECT_NE(platform::DeviceIoControl(otr, platform::OTDR_IOCTL_READ, nullptr, 0, &word, sizeof word), 0);
    // Short buffers are refused, not overrun.
    EXPECT_EQ(platform::DeviceIoControl(otr, platform::OTDR_IOCTL_WRITE, &write, 6, nullptr, 0), 0);
    EXPECT_EQ(platform::DeviceIoControl(otr, platform::OTDR_IOCTL_READ, nullptr, 0, &word, 2), 0);
    EXPECT_EQ(board.Calls("OTR1:", platform::OTDR_IOCTL_WRITE), 5u);
    platform::CloseDevice(otr);
}

TEST_F(SimBoardTest, MissingDevicesLeaveTheirDebugLines) {
    platform::UnregisterDriver("POF1:");
    EXPECT_EQ(driver::Open("POF1:"), platform::INVALID_HANDLE_VALUE);
    EXPECT_EQ(debug, "CreateFile otdr failed!\r\nUnable to open , Error No.=2 \r\n");
    debug.clear();
    EXPECT_EQ(driver::PowerOff(), 0);
    EXPECT_EQ(debug, "OTDR_IOCTL_WRITE_LOW failed!\r\n");
}

} // namespace
