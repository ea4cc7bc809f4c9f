#include "platform/win32/DialogLayoutWin32.h"

#include <algorithm>
#include <string>
#include <vector>

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, &text[0], length + 1)));
    return text;
}

namespace {

bool HasText(EControlKind kind) {
    return kind == EControlKind::Static || kind == EControlKind::PushButton ||
           kind == EControlKind::CheckBox || kind == EControlKind::GroupBox;
}

// What a control of the kind keeps of its width for things other than its text: a button's
// edges, a check box's box, a group box's frame.
int ReservedWidth(EControlKind kind) {
    switch (kind) {
        case EControlKind::PushButton:
            return 8;
        case EControlKind::CheckBox:
            return GetSystemMetrics(SM_CXMENUCHECK) + 4;
        case EControlKind::GroupBox:
            return 14;
        default:
            return 0;
    }
}

// The width the control's text needs in the control's own font.
int TextWidth(HWND control) {
    const std::string text = WindowText(control);
    HDC context = GetDC(control);
    const HGDIOBJ previous =
        SelectObject(context, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, 0, 0};
    DrawTextA(context, text.c_str(), int(text.size()), &needed, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(context, previous);
    ReleaseDC(control, context);
    return needed.right - needed.left;
}

RECT RectInParent(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

// The controls were made in template order, which is the order of the window's children.
void WidenToFitTexts(HWND window, const SDialogTemplate& source) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    if (children.size() != source.controls.size()) return;
    double factor = 1.0;
    for (std::size_t i = 0; i < children.size(); ++i) {
        const EControlKind kind = source.controls[i].kind;
        if (!HasText(kind)) continue;
        const RECT rect = RectInParent(children[i]);
        const int available = rect.right - rect.left - ReservedWidth(kind);
        if (available > 0) factor = std::max(factor, double(TextWidth(children[i])) / available);
    }
    if (factor <= 1.0) return;
    for (HWND child : children) {
        const RECT rect = RectInParent(child);
        const int left = int(rect.left * factor + 0.5);
        const int right = int(rect.right * factor + 0.5);
        SetWindowPos(child, nullptr, left, rect.top, right - left, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame;
    GetWindowRect(window, &frame);
    RECT client;
    GetClientRect(window, &client);
    const int extra = int(client.right * factor + 0.5) - client.right;
    SetWindowPos(window, nullptr, frame.left - extra / 2, frame.top,
                 frame.right - frame.left + extra, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}
