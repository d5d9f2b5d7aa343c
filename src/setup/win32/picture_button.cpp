#include "picture_button.h"

#include "system.h"

#include <commctrl.h>

namespace setup::win32 {

namespace {
const wchar_t *const bitmapProperty = L"zorvel.setup.bitmap";
}

HWND createPictureButton(
    HWND parent, int id, int bitmap, const RECT &place, const std::string &caption)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND button = CreateWindowExW(0, L"BUTTON", wide(caption).c_str(),
        WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS | BS_OWNERDRAW, place.left, place.top,
        place.right - place.left, place.bottom - place.top, parent,
        reinterpret_cast<HMENU>(INT_PTR(id)), instance, nullptr);
    HANDLE picture = LoadImageW(instance, MAKEINTRESOURCEW(bitmap), IMAGE_BITMAP, 0, 0, 0);
    SetPropW(button, bitmapProperty, picture);
    return button;
}

void drawPictureButton(const DRAWITEMSTRUCT &item)
{
    const RECT &area = item.rcItem;
    FillRect(item.hDC, &area, GetSysColorBrush(COLOR_BTNFACE));
    auto picture = static_cast<HBITMAP>(GetPropW(item.hwndItem, bitmapProperty));
    if (picture) {
        HDC source = CreateCompatibleDC(item.hDC);
        HGDIOBJ earlier = SelectObject(source, picture);
        BITMAP size {};
        GetObjectW(picture, sizeof size, &size);
        const int shift = (item.itemState & ODS_SELECTED) ? 1 : 0;
        BitBlt(item.hDC, area.left + shift, area.top + shift, size.bmWidth, size.bmHeight, source,
            0, 0, SRCCOPY);
        SelectObject(source, earlier);
        DeleteDC(source);
    }
    if (item.itemState & ODS_FOCUS) {
        RECT frame = area;
        InflateRect(&frame, -3, -3);
        DrawFocusRect(item.hDC, &frame);
    }
}

HWND createToolTips(HWND owner)
{
    HWND tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
        WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 320);
    return tips;
}

void setToolTip(HWND tips, HWND control, const std::string &text)
{
    std::wstring shown = wide(text);
    TOOLINFOW tool {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = shown.data();
    TOOLINFOW known = tool;
    known.lpszText = nullptr;
    if (SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&known)))
        SendMessageW(tips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    else
        SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::string tipText(const core::Spoken &spoken, const std::string &keys)
{
    return spoken.name + " (" + keys + ")\n" + spoken.description;
}

} // namespace setup::win32
