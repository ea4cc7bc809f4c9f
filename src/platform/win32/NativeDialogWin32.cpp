#include "platform/win32/NativeDialogWin32.h"

#include <windows.h>
// After windows.h, whose types they use.
#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <map>
#include <utility>

#include "platform/win32/ChoosersWin32.h"
#include "platform/win32/DialogLayoutWin32.h"
#include "platform/win32/DialogTemplateWin32.h"
#include "ui/toolkit/ScopedFlag.h"

// The window shows the dialog's state and reports what the user does to the model, which
// decides everything; after each input the touched control shows the model's state again, so
// an input the dialog refused does not stay on screen. What the window does while it shows
// the model's state (an edit reporting the text it was given) is no input and is not reported.

namespace {

const int kIconResource = 100;

void ShowText(HWND window, const std::string& text) {
    if (WindowText(window) != text) SetWindowTextA(window, text.c_str());
}

// A multi-line edit breaks its lines only at CR LF.
std::string WithCarriageReturns(const std::string& text) {
    std::string shown;
    for (const char c : text) {
        if (c == '\n') shown += '\r';
        shown += c;
    }
    return shown;
}

bool IsKeyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

// The controls of version 6 that the program's manifest asks for; registering them again is
// harmless.
void RegisterControlClasses() {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
}

}  // namespace

struct CNativeDialogWindow::Impl {
    Impl(const SDialogTemplate& dialogTemplate, CNativeDialogModel& model, HWND ownerWindow)
        : source(dialogTemplate), model(model), owner(ownerWindow) {}

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void Initialise();
    void ApplySystemMenu();
    void ShowControlState(int id);
    void ShowEdit(int id, HWND control, const SNativeControlState& state);
    void ShowItems(HWND control, EControlKind kind, const SNativeControlState& state);
    void ShowFocusState();
    bool PaintIcon();

    bool TakeKey(const MSG& message);
    void NoticeFocus();
    void ReportCommand(int id, int notification, HWND control);
    template <typename Input>
    void Report(int id, Input input);

    HWND Control(int id) const { return id > 0 ? GetDlgItem(window, id) : nullptr; }
    const SControlTemplate* TemplateOf(int id) const;
    EControlKind KindOf(int id) const;
    bool IsMultiline(int id) const;

    const SDialogTemplate& source;
    CNativeDialogModel& model;
    HWND owner;
    HWND window = nullptr;
    HICON icon = nullptr;
    // Set while the model's state is being shown: what the controls report then is an echo.
    bool showingState = false;
    bool ended = false;
    // The edit being typed into keeps its caret where the user puts it.
    int typingId = 0;
    // The control that last had the focus as far as the model knows.
    HWND knownFocus = nullptr;
    std::map<int, std::pair<int, int>> shownSelections;
};

const SControlTemplate* CNativeDialogWindow::Impl::TemplateOf(int id) const {
    for (const SControlTemplate& control : source.controls) {
        if (control.id == id) return &control;
    }
    return nullptr;
}

EControlKind CNativeDialogWindow::Impl::KindOf(int id) const {
    const SControlTemplate* control = TemplateOf(id);
    return control ? control->kind : EControlKind::Static;
}

bool CNativeDialogWindow::Impl::IsMultiline(int id) const {
    const SControlTemplate* control = TemplateOf(id);
    return control && (control->style & StyleMultiline) != 0;
}

INT_PTR CALLBACK CNativeDialogWindow::Impl::DialogProc(HWND window, UINT message, WPARAM wParam,
                                                       LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Impl*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->window = window;
        self->Initialise();
        // The focus is the model's choice, shown once the window opens.
        return FALSE;
    }
    auto* self = reinterpret_cast<Impl*>(GetWindowLongPtrA(window, DWLP_USER));
    return self ? self->Handle(message, wParam, lParam) : FALSE;
}

INT_PTR CNativeDialogWindow::Impl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            ReportCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return TRUE;
        case WM_CLOSE:
            Report(0, [this] { model.Close(); });
            return TRUE;
        case WM_SYSCOMMAND:
            // The system's own commands (move, minimise, close) take their usual course.
            if ((wParam & 0xFFF0) >= SC_SIZE) return FALSE;
            Report(0, [this, wParam] { model.SystemCommand(static_cast<unsigned>(wParam)); });
            return TRUE;
        case WM_HELP: {
            const auto* info = reinterpret_cast<const HELPINFO*>(lParam);
            const int id = info && info->iContextType == HELPINFO_WINDOW ? info->iCtrlId : 0;
            Report(0, [this, id] { model.Help(id > 0 ? id : 0); });
            return TRUE;
        }
        case WM_PAINT:
            return PaintIcon();
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(icon);
        default:
            return FALSE;
    }
}

void CNativeDialogWindow::Impl::Initialise() {
    const CScopedFlag showing(showingState);
    if (source.iconId != 0) {
        icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconResource));
        SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    SetWindowTextA(window, model.Caption().c_str());
    for (const SControlTemplate& control : source.controls) {
        if (control.id > 0) ShowControlState(control.id);
    }
    WidenToFitTexts(window, source);
    ApplySystemMenu();
}

// The entries the dialog added to its system menu, after the Maximize command is removed.
void CNativeDialogWindow::Impl::ApplySystemMenu() {
    const std::vector<SNativeMenuItem> items = model.SystemMenuItems();
    HMENU menu = GetSystemMenu(window, FALSE);
    if (items.empty() || !menu) return;
    if (!model.HasMaximizeBox()) RemoveMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
    for (const SNativeMenuItem& item : items) {
        if (item.commandId == 0) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuA(menu, MF_STRING, item.commandId, item.text.c_str());
        }
    }
}

void CNativeDialogWindow::Impl::ShowControlState(int id) {
    HWND control = Control(id);
    if (!control) return;
    const CScopedFlag showing(showingState);
    const SNativeControlState state = model.ControlState(id);
    if ((IsWindowEnabled(control) != FALSE) != state.enabled) EnableWindow(control, state.enabled);
    const EControlKind kind = KindOf(id);
    switch (kind) {
        case EControlKind::Edit:
            ShowEdit(id, control, state);
            break;
        case EControlKind::ListBox:
        case EControlKind::ComboBox:
            ShowItems(control, kind, state);
            break;
        case EControlKind::CheckBox:
            ShowText(control, state.text);
            if (IsDlgButtonChecked(window, id) != UINT(state.check)) {
                CheckDlgButton(window, id, state.check ? BST_CHECKED : BST_UNCHECKED);
            }
            break;
        case EControlKind::EtchedLine:
        case EControlKind::EtchedFrame:
            break;
        default:
            ShowText(control, state.text);
            break;
    }
}

// The caret moves only when the dialog moved it, never under the user's typing.
void CNativeDialogWindow::Impl::ShowEdit(int id, HWND control, const SNativeControlState& state) {
    const std::string text = IsMultiline(id) ? WithCarriageReturns(state.text) : state.text;
    const bool textChanged = WindowText(control) != text;
    if (textChanged) SetWindowTextA(control, text.c_str());
    const std::pair<int, int> selection(state.selectionStart, state.selectionEnd);
    const auto last = shownSelections.find(id);
    const bool selectionChanged = last == shownSelections.end() || last->second != selection;
    shownSelections[id] = selection;
    if (id == typingId || (!textChanged && !selectionChanged)) return;
    SendMessageA(control, EM_SETSEL, WPARAM(selection.first), LPARAM(selection.second));
    SendMessageA(control, EM_SCROLLCARET, 0, 0);
}

void CNativeDialogWindow::Impl::ShowItems(HWND control, EControlKind kind,
                                          const SNativeControlState& state) {
    const bool list = kind == EControlKind::ListBox;
    const UINT count = list ? LB_GETCOUNT : CB_GETCOUNT;
    const UINT textLength = list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN;
    const UINT getText = list ? LB_GETTEXT : CB_GETLBTEXT;
    bool same = SendMessageA(control, count, 0, 0) == LRESULT(state.items.size());
    for (std::size_t i = 0; same && i < state.items.size(); ++i) {
        std::string shown(std::size_t(SendMessageA(control, textLength, i, 0)) + 1, '\0');
        shown.resize(std::size_t(SendMessageA(control, getText, i, LPARAM(&shown[0]))));
        same = shown == state.items[i];
    }
    if (!same) {
        SendMessageA(control, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
        for (const std::string& item : state.items) {
            SendMessageA(control, list ? LB_ADDSTRING : CB_ADDSTRING, 0, LPARAM(item.c_str()));
        }
    }
    const UINT getSelection = list ? LB_GETCURSEL : CB_GETCURSEL;
    if (!same || SendMessageA(control, getSelection, 0, 0) != state.selection) {
        SendMessageA(control, list ? LB_SETCURSEL : CB_SETCURSEL, WPARAM(state.selection), 0);
    }
    if (!list && (SendMessageA(control, CB_GETDROPPEDSTATE, 0, 0) != 0) != state.listOpen) {
        SendMessageA(control, CB_SHOWDROPDOWN, state.listOpen, 0);
    }
}

void CNativeDialogWindow::Impl::ShowFocusState() {
    HWND control = Control(model.FocusId());
    knownFocus = control;
    if (!control || GetFocus() == control) return;
    const CScopedFlag showing(showingState);
    SetFocus(control);
}

// Minimised, the window shows its icon, centred in the client area.
bool CNativeDialogWindow::Impl::PaintIcon() {
    if (!IsIconic(window) || !icon) return false;
    PAINTSTRUCT paint;
    HDC context = BeginPaint(window, &paint);
    SendMessageA(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(context), 0);
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(window, &client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    DrawIcon(context, x, y, icon);
    EndPaint(window, &paint);
    return true;
}

template <typename Input>
void CNativeDialogWindow::Impl::Report(int id, Input input) {
    if (showingState || model.HasEnded()) return;
    input();
    if (!model.HasEnded()) ShowControlState(id);
}

void CNativeDialogWindow::Impl::ReportCommand(int id, int notification, HWND control) {
    if (!control) return;
    switch (KindOf(id)) {
        case EControlKind::PushButton:
        case EControlKind::CheckBox:
            if (notification == BN_CLICKED) Report(id, [this, id] { model.Click(id); });
            break;
        case EControlKind::Edit:
            if (notification == EN_CHANGE) {
                const std::string text = WindowText(control);
                const int previous = std::exchange(typingId, id);
                Report(id, [this, id, &text] { model.TypeText(id, text); });
                typingId = previous;
            }
            break;
        case EControlKind::ListBox: {
            const int index = int(SendMessageA(control, LB_GETCURSEL, 0, 0));
            if (notification == LBN_SELCHANGE && index >= 0) {
                Report(id, [this, id, index] { model.SelectItem(id, index); });
            } else if (notification == LBN_DBLCLK && index >= 0) {
                Report(id, [this, id, index] { model.DoubleClickItem(id, index); });
            }
            break;
        }
        case EControlKind::ComboBox: {
            const int index = int(SendMessageA(control, CB_GETCURSEL, 0, 0));
            if (notification == CBN_SELCHANGE && index >= 0) {
                Report(id, [this, id, index] { model.SelectItem(id, index); });
            } else if (notification == CBN_DROPDOWN) {
                Report(id, [this, id] { model.OpenComboList(id); });
            }
            break;
        }
        default:
            break;
    }
}

// Every key goes to the dialog first (PreTranslateMessage, then its keyboard handling); the
// help key only to PreTranslateMessage, and then on to the window, which makes WM_HELP of it.
bool CNativeDialogWindow::Impl::TakeKey(const MSG& message) {
    if (message.message != WM_KEYDOWN ||
        (message.hwnd != window && !IsChild(window, message.hwnd))) {
        return false;
    }
    NoticeFocus();
    const unsigned key = static_cast<unsigned>(message.wParam);
    bool taken = false;
    if (key == VK_F1) {
        Report(0, [&] { taken = model.PreTranslateKey(key); });
    } else {
        Report(0, [&] { taken = model.KeyDown(key, IsKeyDown(VK_SHIFT)); });
    }
    if (!model.HasEnded()) ShowFocusState();
    return taken;
}

// The focus moved by the user (a click, or the system's own dialog keys): the dialog hears of
// it before the input that moved it.
void CNativeDialogWindow::Impl::NoticeFocus() {
    HWND focus = GetFocus();
    if (focus == knownFocus || showingState || model.HasEnded()) return;
    knownFocus = focus;
    // The drop-down list of a combo box belongs to the combo box.
    while (focus && GetParent(focus) != window && IsChild(window, focus)) focus = GetParent(focus);
    const int id = focus && GetParent(focus) == window ? GetDlgCtrlID(focus) : 0;
    if (id > 0) Report(id, [this, id] { model.FocusControl(id); });
}

CNativeDialogWindow::CNativeDialogWindow(const SDialogTemplate& dialogTemplate,
                                         CNativeDialogModel& model, CNativeDialogWindow* owner)
    : m_impl(
          std::make_unique<Impl>(dialogTemplate, model, owner ? owner->m_impl->window : nullptr)) {
    RegisterControlClasses();
    const std::vector<unsigned char> bytes = BuildDialogTemplate(dialogTemplate);
    CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                               reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()), m_impl->owner,
                               Impl::DialogProc, reinterpret_cast<LPARAM>(m_impl.get()));
}

CNativeDialogWindow::~CNativeDialogWindow() {
    if (!m_impl->window) return;
    const CScopedFlag showing(m_impl->showingState);
    DestroyWindow(m_impl->window);
}

bool CNativeDialogWindow::IsCreated() const {
    return m_impl->window != nullptr;
}

// The dialog's own message loop, so that every key reaches the dialog before the standard
// dialog keyboard handling (IsDialogMessage) and the control.
void CNativeDialogWindow::RunModal() {
    Impl& impl = *m_impl;
    if (impl.model.HasEnded()) return;
    const bool ownerWasEnabled = impl.owner && !EnableWindow(impl.owner, FALSE);
    ShowWindow(impl.window, SW_SHOW);
    impl.ShowFocusState();
    // Activated, the window gave its focused edit the system's select-all, which would also
    // scroll a long text to its end; the dialog's own selection is shown again.
    impl.shownSelections.erase(impl.model.FocusId());
    impl.ShowControlState(impl.model.FocusId());
    MSG message;
    while (!impl.ended && !impl.model.HasEnded()) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(int(message.wParam));
            break;
        }
        if (impl.TakeKey(message)) continue;
        if (!IsDialogMessageA(impl.window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        impl.NoticeFocus();
    }
    // The owner is enabled and active again before this window goes, so it keeps the focus.
    if (ownerWasEnabled) {
        EnableWindow(impl.owner, TRUE);
        SetActiveWindow(impl.owner);
    }
    const CScopedFlag showing(impl.showingState);
    ShowWindow(impl.window, SW_HIDE);
}

int CNativeDialogWindow::VisibleItemCount(int controlId) const {
    HWND list = m_impl->Control(controlId);
    const LRESULT itemHeight = list ? SendMessageA(list, LB_GETITEMHEIGHT, 0, 0) : 0;
    if (itemHeight <= 0) return 0;
    RECT client;
    GetClientRect(list, &client);
    return int((client.bottom - client.top) / itemHeight);
}

void CNativeDialogWindow::ShowControl(int controlId) {
    m_impl->ShowControlState(controlId);
}

void CNativeDialogWindow::ShowFocus() {
    m_impl->ShowFocusState();
}

void CNativeDialogWindow::ShowCaption() {
    const CScopedFlag showing(m_impl->showingState);
    SetWindowTextA(m_impl->window, m_impl->model.Caption().c_str());
}

void CNativeDialogWindow::End() {
    m_impl->ended = true;
    PostMessageA(m_impl->window, WM_NULL, 0, 0);
}

int CNativeDialogWindow::ShowMessageBox(const std::string& text, const std::string& caption,
                                        unsigned style) {
    return MessageBoxA(m_impl->window, text.c_str(), caption.c_str(), style);
}

bool CNativeDialogWindow::ChooseFile(const std::string& title, const std::string& filter,
                                     const std::string& initialName, std::string* path) {
    return ChooseFileWin32(m_impl->window, title, filter, initialName, path);
}

bool CNativeDialogWindow::ChooseFolder(const std::string& title, const std::string& initialFolder,
                                       std::string* path) {
    return ChooseFolderWin32(m_impl->window, title, initialFolder, path);
}

bool CNativeDialogWindow::OpenClipboard() {
    return ::OpenClipboard(m_impl->window) != FALSE;
}

// The block belongs to the clipboard once it is handed over.
void CNativeDialogWindow::SetClipboardText(const std::string& text) {
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!block) return;
    if (void* bytes = GlobalLock(block)) {
        std::memcpy(bytes, text.c_str(), text.size() + 1);
        GlobalUnlock(block);
        if (SetClipboardData(CF_TEXT, block)) return;
    }
    GlobalFree(block);
}

void CNativeDialogWindow::CloseClipboard() {
    ::CloseClipboard();
}

void CNativeDialogWindow::OpenWebAddress(const std::string& address) {
    ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
