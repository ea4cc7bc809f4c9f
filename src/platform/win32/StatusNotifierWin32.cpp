#include "platform/win32/StatusNotifierWin32.h"

#include <algorithm>
#include <cstring>
#include <string>

// The 32-bit program hands the shell the record's classic 488-byte form with balloon fields.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V2_SIZE == 488, "balloon record size");

namespace {

const char kBalloonTitle[] = "PELKAR";
const UINT kBalloonTimeoutMilliseconds = 1000;
const int kIconResource = 100;

// The program's own icon; a program without one (a test) shows the system's application icon.
HICON ProgramIcon() {
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconResource));
    return icon ? icon : LoadIconA(nullptr, IDI_APPLICATION);
}

// The icon belongs to a window; a post-download run shows none of its own, so the notifier
// keeps a hidden one.
HWND CreateHiddenOwner() {
    return CreateWindowExA(0, "STATIC", kBalloonTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

BOOL CallShell(DWORD message, NOTIFYICONDATAA* data) {
    return Shell_NotifyIconA(message, data);
}

// The record in its form with balloon fields; the first text adds the icon and shows the
// balloon, each later one replaces the balloon's text, and the shell's answers are not needed.
class CShellStatusNotifier : public CStatusNotifier {
public:
    explicit CShellStatusNotifier(NotifyIconCall call) : m_call(call) {}
    ~CShellStatusNotifier() override { Remove(); }
    CShellStatusNotifier(const CShellStatusNotifier&) = delete;
    CShellStatusNotifier& operator=(const CShellStatusNotifier&) = delete;

    void Show(const std::string& text) override {
        DWORD message = NIM_MODIFY;
        if (!m_record) {
            CreateRecord();
            message = NIM_ADD;
        }
        const std::size_t length = std::min(text.size(), sizeof m_record->szInfo - 1);
        std::memcpy(m_record->szInfo, text.data(), length);
        m_record->szInfo[length] = '\0';
        const std::size_t titleLength = std::min(m_title.size(), sizeof m_record->szInfoTitle - 1);
        std::memcpy(m_record->szInfoTitle, m_title.data(), titleLength);
        m_record->szInfoTitle[titleLength] = '\0';
        m_call(message, m_record.get());
    }

    void SetTitle(const std::string& title) override { m_title = title; }

    void Remove() override {
        if (!m_record) return;
        m_call(NIM_DELETE, m_record.get());
        m_record.reset();
        if (m_owner) DestroyWindow(m_owner);
        m_owner = nullptr;
    }

private:
    void CreateRecord() {
        m_owner = CreateHiddenOwner();
        m_record = std::make_unique<NOTIFYICONDATAA>();
        std::memset(m_record.get(), 0, sizeof *m_record);
        m_record->cbSize = NOTIFYICONDATAA_V2_SIZE;
        m_record->hWnd = m_owner;
        m_record->uID = 0;
        m_record->uFlags = NIF_ICON | NIF_INFO;
        m_record->hIcon = ProgramIcon();
        m_record->uTimeout = kBalloonTimeoutMilliseconds;
        m_record->dwInfoFlags = NIIF_INFO;
    }

    NotifyIconCall m_call;
    std::string m_title = kBalloonTitle;
    HWND m_owner = nullptr;
    std::unique_ptr<NOTIFYICONDATAA> m_record;
};

}  // namespace

std::unique_ptr<CStatusNotifier> CreateShellStatusNotifier(NotifyIconCall call) {
    return std::make_unique<CShellStatusNotifier>(call);
}

std::unique_ptr<CStatusNotifier> CreatePlatformStatusNotifier() {
    return CreateShellStatusNotifier(CallShell);
}
