#include "DesktopUserWin32.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <cmath>
#include <fstream>

namespace {

const int kPatienceMilliseconds = 10000;
const int kStepMilliseconds = 50;

HWND Handle(WindowRef window) {
    return reinterpret_cast<HWND>(window);
}

struct SSearch {
    std::string caption;
    DWORD process;
    HWND found = nullptr;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM search) {
    auto* wanted = reinterpret_cast<SSearch*>(search);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char caption[256] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (process == wanted->process && IsWindowVisible(window) && wanted->caption == caption) {
        wanted->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchBalloon(HWND window, LPARAM found) {
    char windowClass[64] = "";
    GetClassNameA(window, windowClass, sizeof windowClass);
    if (IsWindowVisible(window) && std::string(windowClass) == TOOLTIPS_CLASSA &&
        (GetWindowLongA(window, GWL_STYLE) & TTS_BALLOON) != 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Asked of the window itself, which answers for a window of another process too.
std::string TextOf(HWND window) {
    std::string text(std::size_t(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    text.resize(std::size_t(
        SendMessageA(window, WM_GETTEXT, WPARAM(text.size()), reinterpret_cast<LPARAM>(&text[0]))));
    return text;
}

// The window that has the keyboard focus on the window's thread.
HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus ? info.hwndFocus : window;
}

RECT ClientRectOnScreen(HWND control) {
    RECT rect;
    GetClientRect(control, &rect);
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The width the text needs in the control's own font.
int TextWidth(HWND control, const std::string& text) {
    HDC context = GetDC(control);
    const HGDIOBJ previous =
        SelectObject(context, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, 0, 0};
    DrawTextA(context, text.c_str(), int(text.size()), &needed, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(context, previous);
    ReleaseDC(control, context);
    return needed.right - needed.left;
}

// What a control of the kind keeps of its width for things other than its text.
int ReservedWidth(EControlKind kind) {
    switch (kind) {
        case EControlKind::PushButton:
            return 6;
        case EControlKind::CheckBox:
            return GetSystemMetrics(SM_CXMENUCHECK) + 3;
        case EControlKind::GroupBox:
            return 12;
        default:
            return 0;
    }
}

bool HasText(EControlKind kind) {
    return kind == EControlKind::Static || kind == EControlKind::PushButton ||
           kind == EControlKind::CheckBox || kind == EControlKind::GroupBox;
}

}  // namespace

WindowRef WaitForWindow(const std::string& caption) {
    return WaitForWindow(caption, GetCurrentProcessId());
}

WindowRef WaitForWindow(const std::string& caption, unsigned long processId) {
    for (int waited = 0; waited < kPatienceMilliseconds; waited += kStepMilliseconds) {
        SSearch search{caption, processId};
        EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            // Let it finish opening and painting.
            Sleep(300);
            return reinterpret_cast<WindowRef>(search.found);
        }
        Sleep(kStepMilliseconds);
    }
    return 0;
}

WindowRef WaitForBalloon() {
    for (int waited = 0; waited < kPatienceMilliseconds; waited += kStepMilliseconds) {
        HWND found = nullptr;
        EnumWindows(MatchBalloon, reinterpret_cast<LPARAM>(&found));
        if (found) {
            // Let the shell finish drawing it.
            Sleep(300);
            return reinterpret_cast<WindowRef>(found);
        }
        Sleep(kStepMilliseconds);
    }
    return 0;
}

bool WaitUntilGone(WindowRef window) {
    for (int waited = 0; waited < kPatienceMilliseconds; waited += kStepMilliseconds) {
        if (!IsOpen(window)) return true;
        Sleep(kStepMilliseconds);
    }
    return false;
}

bool IsOpen(WindowRef window) {
    return IsWindow(Handle(window)) && IsWindowVisible(Handle(window));
}

bool IsEnabled(WindowRef window) {
    return IsWindowEnabled(Handle(window)) != FALSE;
}

WindowRef OwnerOf(WindowRef window) {
    return reinterpret_cast<WindowRef>(GetWindow(Handle(window), GW_OWNER));
}

bool IsCentredOver(WindowRef window, WindowRef below) {
    RECT rect;
    RECT belowRect;
    GetWindowRect(Handle(window), &rect);
    GetWindowRect(Handle(below), &belowRect);
    const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    return PtInRect(&belowRect, centre) != FALSE;
}

void ClickControl(WindowRef window, int controlId) {
    PostMessageA(GetDlgItem(Handle(window), controlId), BM_CLICK, 0, 0);
    Sleep(200);
}

void PressKey(WindowRef window, unsigned key) {
    HWND focus = FocusOf(Handle(window));
    const UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    PostMessageA(focus, WM_KEYDOWN, key, LPARAM(1 | (scan << 16)));
    PostMessageA(focus, WM_KEYUP, key, LPARAM(1 | (scan << 16) | (3u << 30)));
    Sleep(200);
}

void PressKeyboardKey(WindowRef window, unsigned key) {
    SetForegroundWindow(Handle(window));
    INPUT presses[2] = {};
    for (INPUT& press : presses) {
        press.type = INPUT_KEYBOARD;
        press.ki.wVk = WORD(key);
    }
    presses[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, presses, sizeof(INPUT));
    Sleep(300);
}

void TypeInto(WindowRef window, int controlId, const std::string& text) {
    SendMessageA(GetDlgItem(Handle(window), controlId), WM_SETTEXT, 0, LPARAM(text.c_str()));
    Sleep(100);
}

void ChooseSystemCommand(WindowRef window, unsigned commandId) {
    PostMessageA(Handle(window), WM_SYSCOMMAND, commandId, 0);
    Sleep(200);
}

std::string ControlText(WindowRef window, int controlId) {
    return TextOf(GetDlgItem(Handle(window), controlId));
}

bool IsControlEnabled(WindowRef window, int controlId) {
    return IsWindowEnabled(GetDlgItem(Handle(window), controlId)) != FALSE;
}

bool IsControlChecked(WindowRef window, int controlId) {
    return IsDlgButtonChecked(Handle(window), controlId) == BST_CHECKED;
}

std::vector<std::string> ListItems(WindowRef window, int controlId) {
    HWND list = GetDlgItem(Handle(window), controlId);
    char className[32] = "";
    GetClassNameA(list, className, sizeof className);
    const bool combo = lstrcmpiA(className, "ComboBox") == 0;
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[1024] = "";
        SendMessageA(list, combo ? CB_GETLBTEXT : LB_GETTEXT, WPARAM(i), LPARAM(text));
        items.push_back(text);
    }
    return items;
}

int ListSelection(WindowRef window, int controlId) {
    HWND list = GetDlgItem(Handle(window), controlId);
    char className[32] = "";
    GetClassNameA(list, className, sizeof className);
    const bool combo = lstrcmpiA(className, "ComboBox") == 0;
    return int(SendMessageA(list, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
}

int FocusedControl(WindowRef window) {
    HWND focus = FocusOf(Handle(window));
    return focus != Handle(window) && IsChild(Handle(window), focus) ? GetDlgCtrlID(focus) : 0;
}

std::vector<std::pair<unsigned, std::string>> SystemMenu(WindowRef window) {
    std::vector<std::pair<unsigned, std::string>> entries;
    HMENU menu = GetSystemMenu(Handle(window), FALSE);
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        char text[256] = "";
        GetMenuStringA(menu, UINT(i), text, sizeof text, MF_BYPOSITION);
        const UINT id = GetMenuItemID(menu, i);
        entries.emplace_back(id == UINT(-1) ? 0 : id, text);
    }
    return entries;
}

bool FitsWorkArea(WindowRef window) {
    RECT workArea;
    RECT rect;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    GetWindowRect(Handle(window), &rect);
    return rect.left >= workArea.left && rect.top >= workArea.top && rect.right <= workArea.right &&
           rect.bottom <= workArea.bottom;
}

int FirstVisibleLine(WindowRef window, int controlId) {
    return int(SendMessageA(GetDlgItem(Handle(window), controlId), EM_GETFIRSTVISIBLELINE, 0, 0));
}

CWithoutStandardOutput::CWithoutStandardOutput() : m_output(GetStdHandle(STD_OUTPUT_HANDLE)) {
    SetStdHandle(STD_OUTPUT_HANDLE, nullptr);
}

CWithoutStandardOutput::~CWithoutStandardOutput() {
    SetStdHandle(STD_OUTPUT_HANDLE, m_output);
}

CDesktopProgram::CDesktopProgram(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string line = commandLine;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                        nullptr, &startup, &process)) {
        return;
    }
    CloseHandle(process.hThread);
    m_process = process.hProcess;
    m_id = process.dwProcessId;
}

CDesktopProgram::~CDesktopProgram() {
    if (!m_process) return;
    if (WaitForExit() < 0) TerminateProcess(m_process, 1);
    CloseHandle(m_process);
}

int CDesktopProgram::WaitForExit() {
    if (!m_process || WaitForSingleObject(m_process, kPatienceMilliseconds) != WAIT_OBJECT_0) {
        return -1;
    }
    DWORD status = 0;
    GetExitCodeProcess(m_process, &status);
    return int(status);
}

bool HasDragIcon(WindowRef window) {
    return SendMessageA(Handle(window), WM_QUERYDRAGICON, 0, 0) != 0;
}

std::vector<int> MisplacedControls(WindowRef window, const SDialogTemplate& dialogTemplate) {
    HWND dialog = Handle(window);
    RECT templateSize{0, 0, dialogTemplate.width, dialogTemplate.height};
    MapDialogRect(dialog, &templateSize);
    RECT client;
    GetClientRect(dialog, &client);
    const double widening = double(client.right) / templateSize.right;
    std::vector<int> misplaced;
    for (const SControlTemplate& control : dialogTemplate.controls) {
        if (control.id <= 0 || control.kind == EControlKind::ComboBox) continue;
        // The system places a control by its corner and its size, each converted alone.
        RECT corner{control.rect.x, control.rect.y, control.rect.width, control.rect.height};
        MapDialogRect(dialog, &corner);
        const double left = corner.left * widening;
        const double right = (corner.left + corner.right) * widening;
        RECT actual;
        GetWindowRect(GetDlgItem(dialog, control.id), &actual);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
        if (std::abs(actual.left - left) > 1 || std::abs(actual.right - right) > 1 ||
            actual.top != corner.top || actual.bottom != corner.top + corner.bottom) {
            misplaced.push_back(control.id);
        }
    }
    return misplaced;
}

std::vector<int> ClippedControls(WindowRef window, const SDialogTemplate& dialogTemplate) {
    std::vector<int> clipped;
    HWND dialog = Handle(window);
    for (const SControlTemplate& control : dialogTemplate.controls) {
        if (control.id <= 0 || !HasText(control.kind)) continue;
        HWND item = GetDlgItem(dialog, control.id);
        const std::string text = TextOf(item);
        const RECT client = ClientRectOnScreen(item);
        const int available = client.right - client.left - ReservedWidth(control.kind);
        if (!text.empty() && TextWidth(item, text) > available) clipped.push_back(control.id);
    }
    return clipped;
}

bool SaveWindowImage(WindowRef window, const std::string& path) {
    RECT rect;
    GetWindowRect(Handle(window), &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::string pixels(std::size_t(stride) * std::size_t(height), '\0');
    GetDIBits(memory, bitmap, 0, UINT(height), &pixels[0], reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = DWORD(file.bfOffBits + pixels.size());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(pixels.data(), std::streamsize(pixels.size()));
    return bool(out);
}

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = bytes;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void AnswerMessageBox(WindowRef box, int answer) {
    PostMessageA(Handle(box), WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                 LPARAM(GetDlgItem(Handle(box), answer)));
    Sleep(200);
}

std::string MessageBoxText(WindowRef box) {
    return TextOf(GetDlgItem(Handle(box), 0xFFFF));
}
