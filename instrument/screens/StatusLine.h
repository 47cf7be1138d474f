#pragma once
#include <string>

// The status bar's calls that other screens use; the status bar of the trace view implements them.
class StatusLine {
public:
    // Codes of the operation indicator.
    enum Operation { kShiftUp = 1, kShiftDown, kZoomIn, kZoomOut, kVerticalIn, kVerticalOut, kNone };

    virtual ~StatusLine() = default;
    // Kind 1: the opened-file prefix and the text; kind 2: the test prefix and the text; others ignored.
    virtual void ShowStatus(int kind, const std::u16string& text) = 0;
    virtual void SetOperationIcon(int code) = 0;
};
