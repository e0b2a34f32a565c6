#pragma once

// Frame handling of the frameless main window on the Windows desktop: the window keeps the system's
// resize, snap, maximise and minimise behaviour while drawing its own title bar. Built only on Windows;
// the interface carries no toolkit types so that it also type-checks with a plain cross compiler.
// All functions run on the GUI thread that owns the window.
namespace windowsframe {

// What the frame handling needs to know about the window besides its handle.
struct WindowInfo
{
    void* hwnd = nullptr;
    bool horizontallyResizable = true;
    bool verticallyResizable = true;
    // Tells whether a point, in physical pixels relative to the window's client area, lies in the title
    // area. Null: nowhere. (Client coordinates stay right on monitors of different scaling.)
    bool (*inTitleArea)(void* context, int clientX, int clientY) = nullptr;
    void* context = nullptr;
};

// Gives the window the popup style with a thick frame (and a caption when desktop composition is on),
// so that the system still resizes and snaps it while drawing no frame of its own.
void makeFrameless(void* hwnd);

// Handles one native message (a MSG*). Returns true when the message was handled and *result holds the
// answer; false when the toolkit's default handling should run.
bool handleMessage(const WindowInfo& window, void* message, long* result);

} // namespace windowsframe
