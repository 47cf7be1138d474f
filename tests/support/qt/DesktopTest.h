#pragma once
#include "platform/MessageBox.h"

#include "tests/support/RecordingMessageBox.h"
#include "tests/support/TempRoot.h"
#include "tests/support/qt/QtTestApp.h"

#include <QSettings>
#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

// The desktop program's window tests: the recent files in the test's own settings folder and every
// message box recorded, answered No.
class DesktopTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString((root.Path() / "settings").string()));
        platform::SetMessageBoxService(boxes);
    }
    void TearDown() override { platform::SetMessageBoxService(nullptr); }
    // The texts of the boxes shown since the last call.
    std::vector<std::u16string> Boxes() { return boxes->TakeTexts(); }

    TempRoot root;
    std::shared_ptr<RecordingMessageBox> boxes = std::make_shared<RecordingMessageBox>();
};
