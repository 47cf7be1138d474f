#pragma once

// The program's resource numbers, as its resource script gives them: dialog templates of the panes and
// panels, bitmaps (the images under data/images/lumetra are named by them), controls and the data the
// program carries.

namespace dlg {
constexpr int kAutoTestWaitDlg = 104;
constexpr int kTimeAndPower = 105;
constexpr int kHelpOTDR = 106;
constexpr int kSystemHelpNav = 107;
constexpr int kCloseBack = 109;
constexpr int kSetInvalidMeterBody = 110;
constexpr int kBody = 129;
constexpr int kNav1Dlg = 133;
constexpr int kNav2Dlg = 134;
constexpr int kFileOprNav = 136;
constexpr int kCurveOprNav = 138;
constexpr int kFileSaveNav = 139;
constexpr int kFileReadNav = 140;
constexpr int kFileCopyNav = 142;
constexpr int kEventTblNav = 143;
constexpr int kSetOtdrNav = 144;
constexpr int kSystemSetNav = 146;
constexpr int kSystemInfoNav = 147;
constexpr int kFileReadBody = 151;
constexpr int kFileCopyBody = 152;
constexpr int kEventTblBody = 153;
constexpr int kSetOtdrBody = 154;
constexpr int kSystemInfoBody = 156;
constexpr int kEventLstBody = 159;
constexpr int kEventOprNav = 160;
constexpr int kFileSaveBody = 161;
constexpr int kSystemSetBody = 162;
constexpr int kSubSysSetNav = 163;
constexpr int kFileDeleteNav = 166;
} // namespace dlg

namespace bmp {
constexpr int kProgramIcon = 101;
// Event icons of the event screens' image lists.
constexpr int kReflectiveEvent = 129;
constexpr int kNonReflectiveEvent = 130;
constexpr int kUnusedEvent = 166;
// Battery levels.
constexpr int kBatteryEmpty = 134;
constexpr int kBatteryLow = 135;
constexpr int kBatteryFull = 136;
constexpr int kBatteryHalf = 137;
// Curve operations of the status bar's indicator.
constexpr int kVerticalZoomOut = 138;
constexpr int kZoomIn = 139;
constexpr int kShiftUp = 140;
constexpr int kShiftDown = 141;
constexpr int kZoomOut = 142;
constexpr int kVerticalZoomIn = 143;
constexpr int kNoOperation = 144;
constexpr int kShutdown = 167;
} // namespace bmp

namespace ctl {
// The copy screen: the memory and USB lists and the copy buttons between them.
constexpr int kMemoryList = 1028;
constexpr int kCopyToUsb = 1031;
constexpr int kCopyToMemory = 1032;
constexpr int kUsbList = 1033;
// The event screens' list control.
constexpr int kEventList = 1034;
// The test settings screen, in focus order.
constexpr int kTestWay = 1035;
constexpr int kAverageTime = 1036;
constexpr int kTestProject = 1037;
constexpr int kWavelength = 1038;
constexpr int kRange = 1039;
constexpr int kPulseWidth = 1040;
constexpr int kAttenuation = 1041;
constexpr int kRefractive = 1042;
constexpr int kCableRatio = 1043;
constexpr int kEventThreshold = 1044;
} // namespace ctl

namespace rcdata {
// The updater program, of resource type "UPDATA".
constexpr int kUpdaterImage = 174;
} // namespace rcdata
