#pragma once

// Where a point lies on a frameless window: which edge or corner resizes it, whether it drags it, or
// neither. Pure and free of any toolkit or platform type, so that both the Windows frame handling and
// the Linux one use the same rules. The numeric values are the Windows hit-test codes.
enum class FrameHit : int
{
    None = 0,    // not on the frame: the widgets under the point get the click
    Caption = 2, // the title area: dragging moves the window
    Left = 10,
    Right = 11,
    Top = 12,
    TopLeft = 13,
    TopRight = 14,
    Bottom = 15,
    BottomLeft = 16,
    BottomRight = 17,
};

struct FrameHitTestInput
{
    // Window rectangle, right and bottom exclusive (as the Windows window rectangle).
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    // Point to test, in the same coordinates as the rectangle.
    int x = 0;
    int y = 0;
    // A window is horizontally resizable when its minimum and maximum width differ, vertically when its
    // minimum and maximum height differ.
    bool horizontallyResizable = true;
    bool verticallyResizable = true;
    // Whether the point lies in the top bar's title area; only consulted when it is on no band.
    bool inTitleArea = false;
    // Width of the resize band along each edge.
    int band = 8;
};

// Bands first: left/right when horizontally resizable, top/bottom when vertically resizable, and the
// four corners where two bands meet when both are; then the title area; otherwise None.
FrameHit frameHitTest(const FrameHitTestInput& input);
