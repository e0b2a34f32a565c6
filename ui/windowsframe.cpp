#include "ui/windowsframe.h"

#include "ui/framehittest.h"

#include <windows.h>
#include <windowsx.h>

#include <dwmapi.h>

namespace windowsframe {
namespace {

constexpr int kBorderBand = 8;
constexpr LONG_PTR kStyleWithCaption =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX; // 0x80CF0000
constexpr LONG_PTR kStyleWithoutCaption =
    WS_POPUP | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX; // 0x800F0000

// True only when the query succeeded and composition is on.
bool compositionEnabled()
{
    BOOL enabled = FALSE;
    return SUCCEEDED(DwmIsCompositionEnabled(&enabled)) && enabled;
}

void extendFrame(HWND hwnd)
{
    const MARGINS margins = {1, 1, 1, 1};
    DwmExtendFrameIntoClientArea(hwnd, &margins);
}

bool isMaximized(HWND hwnd)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    return GetWindowPlacement(hwnd, &placement) && placement.showCmd == SW_SHOWMAXIMIZED;
}

void reapplyFrame(HWND hwnd)
{
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE);
}

long hitTest(const WindowInfo& window, HWND hwnd, LPARAM lParam, bool* handled)
{
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    FrameHitTestInput in;
    in.left = rect.left;
    in.top = rect.top;
    in.right = rect.right;
    in.bottom = rect.bottom;
    in.x = GET_X_LPARAM(lParam);
    in.y = GET_Y_LPARAM(lParam);
    in.horizontallyResizable = window.horizontallyResizable;
    in.verticallyResizable = window.verticallyResizable;
    in.band = kBorderBand;
    if (window.inTitleArea) {
        POINT client = {in.x, in.y};
        in.inTitleArea =
            ScreenToClient(hwnd, &client) && window.inTitleArea(window.context, client.x, client.y);
    }
    const FrameHit hit = frameHitTest(in);
    *handled = hit != FrameHit::None;
    return static_cast<long>(hit);
}

} // namespace

void makeFrameless(void* handle)
{
    HWND hwnd = static_cast<HWND>(handle);
    const bool composition = compositionEnabled();
    const LONG_PTR wanted = composition ? kStyleWithCaption : kStyleWithoutCaption;
    if (GetWindowLongPtrW(hwnd, GWL_STYLE) != wanted) {
        SetWindowLongPtrW(hwnd, GWL_STYLE, wanted);
        if (composition) {
            extendFrame(hwnd);
        }
        reapplyFrame(hwnd);
        ShowWindow(hwnd, SW_SHOW);
    }
    if (composition) {
        extendFrame(hwnd);
    }
}

bool handleMessage(const WindowInfo& window, void* message, long* result)
{
    const MSG* msg = static_cast<const MSG*>(message);
    HWND hwnd = static_cast<HWND>(window.hwnd);
    if (!msg || !hwnd || msg->hwnd != hwnd) {
        return false;
    }
    switch (msg->message) {
    case WM_SIZE:
        if (isMaximized(hwnd)) {
            reapplyFrame(hwnd);
        }
        return false;
    case WM_NCCALCSIZE:
        // The whole window is client area. A maximised window is given the work area of its monitor,
        // so that it neither covers the task bar nor spills over the screen edge.
        if (msg->wParam == TRUE && isMaximized(hwnd)) {
            if (HMONITOR monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTONULL)) {
                MONITORINFO info = {};
                info.cbSize = sizeof(info);
                if (GetMonitorInfoW(monitor, &info)) {
                    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(msg->lParam);
                    params->rgrc[0] = info.rcWork;
                }
            }
        }
        *result = 0;
        return true;
    case WM_NCHITTEST: {
        bool handled = false;
        const long hit = hitTest(window, hwnd, msg->lParam, &handled);
        if (handled) {
            *result = hit;
        }
        return handled;
    }
    case WM_NCPAINT:
        *result = 0;
        return false;
    case WM_NCACTIVATE:
        // Without composition the system would paint its own frame on activation; keep it from doing so.
        return !compositionEnabled();
    default:
        return false;
    }
}

} // namespace windowsframe
