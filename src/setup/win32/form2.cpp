#include "form2.h"

#include "form1.h"
#include "picture_button.h"
#include "resource.h"
#include "system.h"

#include "core/files.h"
#include "core/spoken.h"
#include "core/text.h"

#include <commctrl.h>

namespace setup::win32 {

namespace {

const wchar_t *const windowClass = L"ZorvelSetupForm2";
enum : int { drive1Id = 2000, dir1Id = 2001, btnId = 2010 };
constexpr int rowHeight = 18;
constexpr int indentStep = 10;

RECT twipRect(int left, int top, int width, int height)
{
    return { left / 15, top / 15, (left + width) / 15, (top + height) / 15 };
}

std::string comparableRoot(std::string root)
{
    return core::toLowerAscii(root);
}

} // namespace

Form2::Form2(Form1 &owner)
    : m_owner(owner)
{
}

void Form2::create(HWND owner)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW type {};
    type.cbSize = sizeof type;
    type.lpfnWndProc = procedure;
    type.hInstance = instance;
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    type.lpszClassName = windowClass;
    RegisterClassExW(&type);

    // A fixed tool window, owned by the installer window.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD extended = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME;
    RECT frame = twipRect(0, 0, 3510, 4380);
    AdjustWindowRectEx(&frame, style, FALSE, extended);
    hwnd = CreateWindowExW(extended, windowClass, L"Select folder", style, CW_USEDEFAULT,
        CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, owner, nullptr, instance,
        this);

    const RECT drive = twipRect(120, 120, 3255, 315);
    Drive1 = CreateWindowExW(0, L"COMBOBOX", L"&Drive",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, drive.left, drive.top,
        drive.right - drive.left, 240, hwnd, reinterpret_cast<HMENU>(INT_PTR(drive1Id)), instance,
        nullptr);
    SendMessageW(Drive1, WM_SETFONT, reinterpret_cast<WPARAM>(messageFont()), TRUE);
    const RECT folders = twipRect(120, 480, 3255, 3015);
    Dir1 = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"F&olders",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY
            | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
        folders.left, folders.top, folders.right - folders.left, folders.bottom - folders.top, hwnd,
        reinterpret_cast<HMENU>(INT_PTR(dir1Id)), instance, nullptr);
    SendMessageW(Dir1, WM_SETFONT, reinterpret_cast<WPARAM>(messageFont()), TRUE);
    btn[0] = createPictureButton(
        hwnd, btnId, IDB_OK, twipRect(960, 3840, 1575, 390), "&Use this folder");
    ShowWindow(btn[0], SW_SHOW);

    m_tips = createToolTips(hwnd);
    setToolTip(m_tips, Drive1, tipText(core::driveSpoken(), "Alt+D"));
    setToolTip(m_tips, Dir1, tipText(core::folderListSpoken(), "Alt+O; Enter opens a folder"));
    setToolTip(m_tips, btn[0], tipText(core::useFolderSpoken(), "Alt+U"));

    fillDrives();
    wchar_t current[MAX_PATH];
    if (GetCurrentDirectoryW(MAX_PATH, current))
        setPath(narrow(current));
}

void Form2::fillDrives()
{
    m_roots = driveRoots();
    SendMessageW(Drive1, CB_RESETCONTENT, 0, 0);
    for (const std::string &root : m_roots)
        SendMessageW(
            Drive1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(driveLabel(root)).c_str()));
    SendMessageW(Drive1, CB_SETCURSEL, m_roots.empty() ? WPARAM(-1) : 0, 0);
}

std::string Form2::drive() const
{
    const LRESULT at = SendMessageW(Drive1, CB_GETCURSEL, 0, 0);
    if (at < 0 || std::size_t(at) >= m_roots.size())
        return std::string();
    return m_roots[std::size_t(at)];
}

void Form2::setDrive(const std::string &root)
{
    std::size_t at = 0;
    while (at < m_roots.size() && comparableRoot(m_roots[at]) != comparableRoot(root))
        ++at;
    if (at == m_roots.size()) {
        m_roots.push_back(root);
        SendMessageW(Drive1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(root).c_str()));
    }
    if (SendMessageW(Drive1, CB_GETCURSEL, 0, 0) != LRESULT(at)) {
        SendMessageW(Drive1, CB_SETCURSEL, at, 0);
        Drive1_Change();
    }
}

bool Form2::setPath(const std::string &folder)
{
    if (!core::folderExists(folder))
        return false;
    m_path = core::cleanAbsolute(folder);
    m_rows = core::folderRows(m_path);
    SendMessageW(Dir1, WM_SETREDRAW, FALSE, 0);
    SendMessageW(Dir1, LB_RESETCONTENT, 0, 0);
    int current = 0;
    int widest = 0;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        SendMessageW(
            Dir1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(m_rows[i].label).c_str()));
        if (m_rows[i].open)
            current = int(i);
        widest
            = std::max(widest, int(m_rows[i].label.size()) * 7 + m_rows[i].depth * indentStep + 30);
    }
    SendMessageW(Dir1, LB_SETHORIZONTALEXTENT, widest, 0);
    SendMessageW(Dir1, LB_SETCURSEL, current, 0);
    SendMessageW(Dir1, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Dir1, nullptr, TRUE);
    return true;
}

void Form2::drawRow(const DRAWITEMSTRUCT &item)
{
    if (item.itemID == UINT(-1) || item.itemID >= m_rows.size())
        return;
    const core::FolderRow &row = m_rows[item.itemID];
    // The open folder (the one that is chosen) and those above it in bold.
    static const HFONT bold = [] {
        LOGFONTW font {};
        GetObjectW(messageFont(), sizeof font, &font);
        font.lfWeight = FW_BOLD;
        return CreateFontIndirectW(&font);
    }();
    const bool selected = item.itemState & ODS_SELECTED;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    HGDIOBJ earlier = SelectObject(item.hDC, row.open ? bold : messageFont());
    RECT text = item.rcItem;
    text.left += 4 + row.depth * indentStep;
    const std::wstring shown = wide(row.label);
    DrawTextW(item.hDC, shown.c_str(), int(shown.size()), &text,
        DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(item.hDC, earlier);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
}

void Form2::runModal()
{
    HWND owner = m_owner.window();
    RECT ownerFrame {};
    RECT frame {};
    GetWindowRect(owner, &ownerFrame);
    GetWindowRect(hwnd, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(hwnd, nullptr, ownerFrame.left + (ownerFrame.right - ownerFrame.left - width) / 2,
        ownerFrame.top + (ownerFrame.bottom - ownerFrame.top - height) / 2, 0, 0,
        SWP_NOSIZE | SWP_NOZORDER);
    EnableWindow(owner, FALSE);
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetFocus(Dir1);
    MSG message;
    while (visible()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            PostQuitMessage(got == 0 ? int(message.wParam) : 1);
            break;
        }
        if (!m_owner.preTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    hide();
}

void Form2::hide()
{
    // The owner first, so that it and not some other program comes to the front.
    EnableWindow(m_owner.window(), TRUE);
    if (IsWindowVisible(hwnd))
        ShowWindow(hwnd, SW_HIDE);
    SetActiveWindow(m_owner.window());
}

bool Form2::visible() const
{
    return hwnd && IsWindowVisible(hwnd);
}

void Form2::btn_Click(int)
{
    m_owner.upd();
    hide();
}

void Form2::Drive1_Change()
{
    const std::string root = drive();
    if (setPath(root))
        return;
    // A drive without a disk: back to the drive of the open folder.
    MessageBeep(MB_ICONWARNING);
    const std::string current = volumeRootOf(m_path);
    for (std::size_t i = 0; i < m_roots.size(); ++i) {
        if (comparableRoot(m_roots[i]) == comparableRoot(current))
            SendMessageW(Drive1, CB_SETCURSEL, i, 0);
    }
}

void Form2::Dir1_Open()
{
    const LRESULT at = SendMessageW(Dir1, LB_GETCURSEL, 0, 0);
    if (at >= 0 && std::size_t(at) < m_rows.size())
        setPath(m_rows[std::size_t(at)].path);
}

bool Form2::preTranslate(MSG &message)
{
    if (message.hwnd != hwnd && !IsChild(hwnd, message.hwnd))
        return false;
    const bool dropped = SendMessageW(Drive1, CB_GETDROPPEDSTATE, 0, 0) != 0;
    if (message.message == WM_KEYDOWN && !dropped) {
        if (message.wParam == VK_ESCAPE) {
            hide();
            return true;
        }
        if (message.wParam == VK_RETURN) {
            const HWND focus = GetFocus();
            if (focus == Dir1)
                Dir1_Open();
            else
                SendMessageW(btn[0], BM_CLICK, 0, 0);
            return true;
        }
    }
    return IsDialogMessageW(hwnd, &message) != 0;
}

LRESULT CALLBACK Form2::procedure(HWND window, UINT message, WPARAM w, LPARAM l)
{
    if (message == WM_NCCREATE) {
        auto *form = static_cast<Form2 *>(reinterpret_cast<CREATESTRUCTW *>(l)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        form->hwnd = window;
    }
    auto *form = reinterpret_cast<Form2 *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form)
        return DefWindowProcW(window, message, w, l);
    return form->handle(message, w, l);
}

LRESULT Form2::handle(UINT message, WPARAM w, LPARAM l)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(w) == btnId && HIWORD(w) == BN_CLICKED) {
            btn_Click(0);
            return 0;
        }
        if (LOWORD(w) == drive1Id && HIWORD(w) == CBN_SELCHANGE) {
            Drive1_Change();
            return 0;
        }
        if (LOWORD(w) == dir1Id && HIWORD(w) == LBN_DBLCLK) {
            Dir1_Open();
            return 0;
        }
        break;
    case WM_MEASUREITEM: {
        auto *measure = reinterpret_cast<MEASUREITEMSTRUCT *>(l);
        if (measure->CtlID == UINT(dir1Id)) {
            measure->itemHeight = rowHeight;
            return TRUE;
        }
        break;
    }
    case WM_DRAWITEM: {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(l);
        if (item->CtlID == UINT(dir1Id))
            drawRow(*item);
        else
            drawPictureButton(*item);
        return TRUE;
    }
    case WM_CLOSE:
        // Closing changes nothing.
        hide();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, w, l);
}

} // namespace setup::win32
