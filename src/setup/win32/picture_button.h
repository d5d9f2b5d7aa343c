#pragma once

// Push buttons that are only their picture, drawn by their window; the
// caption (with its Alt key) is what a screen reader announces, and a tool
// tip says what the button does and which keys press it.
#include "core/spoken.h"

#include <windows.h>

#include <string>

namespace setup::win32 {

HWND createPictureButton(
    HWND parent, int id, int bitmap, const RECT &place, const std::string &caption);
// Draws the button for WM_DRAWITEM: the picture, one pixel lower while it is
// held down, and a focus frame.
void drawPictureButton(const DRAWITEMSTRUCT &item);

// One tool tip window per top-level window.
HWND createToolTips(HWND owner);
void setToolTip(HWND tips, HWND control, const std::string &text);

// "Next (Alt+N, Enter)": what the control is and its keys.
std::string tipText(const core::Spoken &spoken, const std::string &keys);

} // namespace setup::win32
