#include "form1.h"

#include "picture_button.h"
#include "resource.h"
#include "system.h"

#include "core/cd_inf.h"
#include "core/files.h"
#include "core/messages.h"
#include "core/paths.h"
#include "core/spoken.h"

#include <commctrl.h>

namespace setup::win32 {

namespace {

const wchar_t *const windowClass = L"ZorvelSetupForm1";
constexpr UINT_PTR timer1 = 1;
enum : int {
    picId = 1000, // + page
    text1Id = 1010,
    broId = 1011,
    btnId = 1020, // + index
};

// Window layouts are given in twips: 15 to a pixel at 96 dots per inch.
RECT twipRect(int left, int top, int width, int height)
{
    return { left / 15, top / 15, (left + width) / 15, (top + height) / 15 };
}

const char *const nextKeys = "Alt+N, Enter";

} // namespace

Form1::Form1(Environment environment)
    : form2(*this)
    , m_environment(std::move(environment))
{
}

void Form1::tell(const std::string &text)
{
    showError(hwnd, text);
}

bool Form1::Form_Load()
{
    page = 0;
    infPath = core::infPathFor(m_environment.programFolder);
    const core::CdInfLoad load = core::loadCdInf(infPath);
    if (!load.ok()) {
        tell(load.refusal);
        endProgram();
        return false;
    }
    cdName = load.values.cdName;
    defPath = load.values.defPath;
    // A base that is no full path here: the user's profile folder.
    if (!core::isAbsolutePath(defPath)) {
        wchar_t profile[32768];
        const DWORD length = GetEnvironmentVariableW(L"USERPROFILE", profile, 32768);
        defPath = length > 0 && length < 32768 ? narrow(profile) : std::string("C:\\");
    }
    folderName = load.values.folderName;
    runFile = load.values.runFile;
    create();
    SetWindowTextW(hwnd, wide(cdName + " Installer").c_str());
    chek();
    return !m_ended;
}

void Form1::create()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW type {};
    type.cbSize = sizeof type;
    type.lpfnWndProc = procedure;
    type.hInstance = instance;
    type.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SETUP));
    type.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_SETUP), IMAGE_ICON,
        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    type.lpszClassName = windowClass;
    RegisterClassExW(&type);

    // Fixed single border, no minimise or maximise button.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT frame = twipRect(0, 0, 5055, 2205);
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    hwnd = CreateWindowExW(0, windowClass, L"", style, CW_USEDEFAULT, CW_USEDEFAULT,
        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, this);

    // Only the folder picker changes the destination, so the box only shows it.
    const RECT text = twipRect(360, 840, 3855, 375);
    Text1 = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", nullptr,
        WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, text.left, text.top,
        text.right - text.left, text.bottom - text.top, hwnd,
        reinterpret_cast<HMENU>(INT_PTR(text1Id)), instance, nullptr);
    SendMessageW(Text1, WM_SETFONT, reinterpret_cast<WPARAM>(messageFont()), TRUE);
    bro = createPictureButton(
        hwnd, broId, IDB_FOLDER, twipRect(4320, 840, 375, 375), "Choose &folder...");

    btn[0]
        = createPictureButton(hwnd, btnId + 0, IDB_NEXT, twipRect(3840, 1680, 1095, 390), "&Next");
    btn[1]
        = createPictureButton(hwnd, btnId + 1, IDB_BACK, twipRect(2640, 1680, 1095, 390), "&Back");
    btn[2] = createPictureButton(hwnd, btnId + 2, IDB_EXIT, twipRect(120, 1680, 735, 390), "E&xit");
    // The pictures last: the first window made is the top one, and the tab
    // order is the order of making (the destination row, Next, Back, Exit).
    const int pictures[] = { IDB_PAGE0, IDB_PAGE1, IDB_PAGE2 };
    for (int i = 0; i < 3; ++i) {
        const RECT place = twipRect(0, 0, 5055, 1575);
        Pic[i] = CreateWindowExW(0, L"STATIC", nullptr,
            WS_CHILD | WS_CLIPSIBLINGS | SS_BITMAP | (i == 0 ? WS_VISIBLE : 0), place.left,
            place.top, place.right - place.left, place.bottom - place.top, hwnd,
            reinterpret_cast<HMENU>(INT_PTR(picId + i)), instance, nullptr);
        SendMessageW(Pic[i], STM_SETIMAGE, IMAGE_BITMAP,
            reinterpret_cast<LPARAM>(
                LoadImageW(instance, MAKEINTRESOURCEW(pictures[i]), IMAGE_BITMAP, 0, 0, 0)));
    }
    ShowWindow(btn[0], SW_SHOW);
    ShowWindow(btn[2], SW_SHOW);

    m_tips = createToolTips(hwnd);
    setToolTip(m_tips, btn[0], tipText(core::nextSpoken(0), nextKeys));
    setToolTip(m_tips, btn[1], tipText(core::backSpoken(), "Alt+B"));
    setToolTip(m_tips, btn[2], tipText(core::exitSpoken(), "Alt+X"));
    setToolTip(m_tips, bro, tipText(core::browseSpoken(), "Alt+F"));
    setToolTip(m_tips, Text1, tipText(core::destinationSpoken(), "Tab"));

    form2.create(hwnd);
}

void Form1::showCentered()
{
    RECT area {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT frame {};
    GetWindowRect(hwnd, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(hwnd, nullptr, area.left + (area.right - area.left - width) / 2,
        area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);
    focusFirstButton();
}

void Form1::focusFirstButton()
{
    SetFocus(IsWindowVisible(btn[0]) ? btn[0] : btn[2]);
}

std::string Form1::itit() const
{
    return core::installFolder(defPath, cdName);
}

std::string Form1::markerPath() const
{
    return core::markerFilePath(m_environment.markerFolder, cdName);
}

core::InstallPlan Form1::plan() const
{
    return core::makePlan(m_environment.programFolder, volumeRootOf(m_environment.programFolder),
        folderName, itit(), runFile, markerPath());
}

void Form1::getto(int arg)
{
    if (arg < 0 || arg > 2)
        return;
    for (int i = 0; i < 3; ++i) {
        ShowWindow(Pic[i], SW_HIDE);
        ShowWindow(btn[i], SW_SHOW);
    }
    ShowWindow(Pic[arg], SW_SHOW);
    // The controls of the destination page stand on its picture.
    ShowWindow(Text1, arg == 1 ? SW_SHOW : SW_HIDE);
    ShowWindow(bro, arg == 1 ? SW_SHOW : SW_HIDE);
    SetWindowTextW(btn[0], arg == 1 ? L"I&nstall" : L"&Next");
    setToolTip(m_tips, btn[0], tipText(core::nextSpoken(arg), nextKeys));
    if (arg == 0)
        ShowWindow(btn[1], SW_HIDE);
    if (arg == 1)
        SetWindowTextW(Text1, wide(itit()).c_str());
    if (arg == 2) {
        ShowWindow(btn[0], SW_HIDE);
        ShowWindow(btn[1], SW_HIDE);
        page = 2;
        focusFirstButton();
        // The user was told what failed; another folder may do.
        if (!copfol()) {
            if (!m_ended)
                getto(1);
            return;
        }
    }
    page = arg;
    if (m_ended)
        return;
    focusFirstButton();
    doEvents();
}

bool Form1::copfol()
{
    doEvents();
    if (m_ended)
        return true;
    // The values may have changed since they were checked at the start.
    const core::CdInf values { cdName, defPath, folderName, runFile };
    const std::string unsafe = core::unsafeSection(values);
    if (!unsafe.empty()) {
        tell(core::unsafeSectionText(infPath, unsafe, core::sectionOf(values, unsafe)));
        return false;
    }
    const core::InstallPlan current = plan();
    HCURSOR earlier = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const std::optional<std::string> problem = core::install(current);
    SetCursor(earlier);
    // A failed installation leaves no marker, so the next start offers the
    // installation again, and nothing is started.
    if (problem) {
        tell(*problem);
        return false;
    }
    doEvents();
    if (m_ended)
        return true;
    RunIt(core::programPath(current));
    return true;
}

void Form1::chek()
{
    const std::string program = core::rememberedProgram(markerPath());
    if (!program.empty())
        RunIt(program);
}

void Form1::RunIt(const std::string &ExFile)
{
    if (ExFile.empty())
        return;
    const std::size_t cut = ExFile.find_last_of("\\/");
    const std::string folder = cut == std::string::npos ? std::string() : ExFile.substr(0, cut);
    if (!openFile(hwnd, ExFile, folder)) {
        tell(core::startFailedText(ExFile));
        return;
    }
    SetTimer(hwnd, timer1, 500, nullptr);
}

void Form1::upd()
{
    defPath = form2.path();
    SetWindowTextW(Text1, wide(itit()).c_str());
}

void Form1::btn_Click(int index)
{
    switch (index) {
    case 0:
        getto(page + 1);
        break;
    case 1:
        getto(page - 1);
        break;
    case 2:
        endProgram();
        break;
    default:
        break;
    }
}

void Form1::bro_Click()
{
    if (core::folderExists(defPath))
        form2.setPath(defPath);
    const std::string root = volumeRootOf(form2.path());
    if (!root.empty())
        form2.setDrive(root);
    if (core::folderExists(defPath))
        form2.setPath(defPath);
    form2.runModal();
    if (!m_ended)
        SetFocus(bro);
}

void Form1::Timer1_Timer()
{
    KillTimer(hwnd, timer1);
    endProgram();
}

void Form1::endProgram()
{
    if (m_ended)
        return;
    m_ended = true;
    if (hwnd)
        DestroyWindow(hwnd);
    else
        PostQuitMessage(0);
}

void Form1::doEvents()
{
    MSG message;
    while (!m_ended && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(int(message.wParam));
            m_ended = true;
            break;
        }
        if (!preTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

bool Form1::preTranslate(MSG &message)
{
    if (form2.visible())
        return form2.preTranslate(message);
    if (!hwnd || (message.hwnd != hwnd && !IsChild(hwnd, message.hwnd)))
        return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
        HWND focus = GetFocus();
        for (HWND button : { btn[0], btn[1], btn[2], bro }) {
            if (focus == button) {
                SendMessageW(button, BM_CLICK, 0, 0);
                return true;
            }
        }
        if (IsWindowVisible(btn[0]))
            SendMessageW(btn[0], BM_CLICK, 0, 0);
        return true;
    }
    return IsDialogMessageW(hwnd, &message) != 0;
}

LRESULT CALLBACK Form1::procedure(HWND window, UINT message, WPARAM w, LPARAM l)
{
    if (message == WM_NCCREATE) {
        auto *form = static_cast<Form1 *>(reinterpret_cast<CREATESTRUCTW *>(l)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        form->hwnd = window;
    }
    auto *form = reinterpret_cast<Form1 *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form)
        return DefWindowProcW(window, message, w, l);
    return form->handle(message, w, l);
}

LRESULT Form1::handle(UINT message, WPARAM w, LPARAM l)
{
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(w);
        if (HIWORD(w) == BN_CLICKED) {
            if (id >= btnId && id < btnId + 3) {
                btn_Click(id - btnId);
                return 0;
            }
            if (id == broId) {
                bro_Click();
                return 0;
            }
        }
        break;
    }
    case WM_DRAWITEM:
        drawPictureButton(*reinterpret_cast<const DRAWITEMSTRUCT *>(l));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        // The read-only box looks like a box to type in.
        if (reinterpret_cast<HWND>(l) == Text1) {
            SetBkColor(reinterpret_cast<HDC>(w), GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_TIMER:
        if (w == timer1) {
            Timer1_Timer();
            return 0;
        }
        break;
    case WM_CLOSE:
        endProgram();
        return 0;
    case WM_DESTROY:
        m_ended = true;
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, w, l);
}

} // namespace setup::win32
