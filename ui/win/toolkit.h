// The Win32 side of the toolkit: every component becomes a real control
// (BUTTON, STATIC, EDIT, SysListView32, msctls_progress32), owner-drawn where
// the look needs it, so keyboard, screen readers and automation reach them.
#pragma once
#include <windows.h>

#include <string>

#include "ui/components.h"

namespace ui {

// Registers the common controls and installs the form backend.
void InitToolkit(HINSTANCE instance);
HINSTANCE Instance();

HWND FormHwnd(const TForm& f);
HWND ControlHwnd(const TComponent& c);

// The application's title, the caption of its message boxes.
void SetApplicationTitle(const std::string& title);
const std::string& ApplicationTitle();

// A modal message box owned by the active window of the program.
int MessageBoxApp(const std::string& text, UINT flags, HWND owner = nullptr);
// The standard error box for an exception that ended an event.
void ShowException(const std::string& text);

// The main message loop; returns the exit code given to Terminate.
int RunMessageLoop();
void Terminate(int exitCode);

// Width in pixels of a text in a control's font.
int TextWidth(const TControl& c, const std::string& text);
int TextWidth(const TForm& f, const std::string& text);

// Paints the part of a form's surface that lies under a rectangle of its
// client area into a device context whose origin is that rectangle.
void PaintFormSurface(const TForm& f, HDC dc, const RECT& formRect);

// Decoded picture as a bitmap (cached for the life of the program).
HBITMAP PictureBitmap(const TPicture& p, SIZE* size = nullptr);

}  // namespace ui
