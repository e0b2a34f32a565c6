#include "ui/framehittest.h"

FrameHit frameHitTest(const FrameHitTestInput& in)
{
    const bool onLeft = in.x >= in.left && in.x < in.left + in.band;
    const bool onRight = in.x >= in.right - in.band && in.x < in.right;
    const bool onTop = in.y >= in.top && in.y < in.top + in.band;
    const bool onBottom = in.y >= in.bottom - in.band && in.y < in.bottom;

    FrameHit hit = FrameHit::None;
    if (in.horizontallyResizable) {
        if (onLeft) {
            hit = FrameHit::Left;
        }
        if (onRight) {
            hit = FrameHit::Right;
        }
    }
    if (in.verticallyResizable) {
        if (onBottom) {
            hit = FrameHit::Bottom;
        }
        if (onTop) {
            hit = FrameHit::Top;
        }
    }
    if (in.horizontallyResizable && in.verticallyResizable) {
        if (onLeft && onBottom) {
            hit = FrameHit::BottomLeft;
        }
        if (onRight && onBottom) {
            hit = FrameHit::BottomRight;
        }
        if (onLeft && onTop) {
            hit = FrameHit::TopLeft;
        }
        if (onRight && onTop) {
            hit = FrameHit::TopRight;
        }
    }
    if (hit == FrameHit::None && in.inTitleArea) {
        hit = FrameHit::Caption;
    }
    return hit;
}
