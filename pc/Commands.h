#pragma once

// The frame's commands, in the menu's and the toolbar's terms.
enum class Command {
    Open,
    Print,
    ExportPdf,
    ImportSor,
    ExportSor,
    Exit,
    ChangeMark,
    LeftShiftCursor,
    RightShiftCursor,
    HorizontalZoomIn,
    HorizontalZoomOut,
    VerticalZoomIn,
    VerticalZoomOut,
    MovesUpCurve,
    MovesDownCurve,
    RestoreCurve,
    EventAnalysis,
    TestAverageLoss,
    TestJointLoss,
    Help,
    About,
};
