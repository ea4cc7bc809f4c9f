#include <windows.h>

#include <atomic>
#include <csignal>
#include <thread>

#include "platform/StopRequest.h"

// Windows asks a program to stop through its windows (taskkill without /F and the end of the
// session send WM_CLOSE, WM_QUERYENDSESSION and WM_ENDSESSION to its top-level windows) and,
// when it has a console, through console control events. A post-download run shows no window,
// so the watch keeps a hidden one on a thread of its own. The requests are named by the C
// runtime's signal numbers, like on other systems.

namespace {

const char kWindowClass[] = "PELKARStopRequest";
// Asks the watch's window to go, from the thread that ends the watch.
const UINT kEndWatch = WM_APP;

std::atomic<int> g_requestSignal{0};

void RecordRequest(int number) {
    int none = 0;
    g_requestSignal.compare_exchange_strong(none, number);
}

BOOL WINAPI OnConsoleControl(DWORD event) {
    RecordRequest(event == CTRL_C_EVENT ? SIGINT : event == CTRL_BREAK_EVENT ? SIGBREAK : SIGTERM);
    return TRUE;
}

LRESULT CALLBACK StopWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            RecordRequest(SIGTERM);
            return 0;
        case WM_QUERYENDSESSION:
            RecordRequest(SIGTERM);
            return TRUE;
        case kEndWatch:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND CreateStopWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = StopWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, kWindowClass, "PELKAR", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

// The thread's window and its readiness, handed from the thread to the watch.
struct SWatchWindow {
    std::atomic<HWND> window{nullptr};
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
};

SWatchWindow g_watchWindow;
std::thread g_watchThread;

void RunStopWindow() {
    const HWND window = CreateStopWindow();
    g_watchWindow.window = window;
    SetEvent(g_watchWindow.ready);
    if (!window) return;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
}

}  // namespace

CStopRequestWatch::CStopRequestWatch() {
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    ResetEvent(g_watchWindow.ready);
    g_watchThread = std::thread(RunStopWindow);
    WaitForSingleObject(g_watchWindow.ready, INFINITE);
}

CStopRequestWatch::~CStopRequestWatch() {
    if (const HWND window = g_watchWindow.window.exchange(nullptr)) {
        PostMessageA(window, kEndWatch, 0, 0);
    }
    if (g_watchThread.joinable()) g_watchThread.join();
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
}

int StopRequestSignal() {
    return g_requestSignal.load();
}
