#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "ToolSystem.h"

namespace {

HANDLE StandardInput() {
    return GetStdHandle(STD_INPUT_HANDLE);
}

void CloseStandardHandle(DWORD which, int descriptor) {
    const HANDLE handle = GetStdHandle(which);
    // The C runtime's descriptor owns the handle; closing it closes the handle as well.
    if (_close(descriptor) != 0 && handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    SetStdHandle(which, nullptr);
}

}  // namespace

void UseBinaryStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

std::size_t ReadStandardInput(char* buffer, std::size_t size) {
    DWORD count = 0;
    if (!ReadFile(StandardInput(), buffer, static_cast<DWORD>(size), &count, nullptr)) return 0;
    return count;
}

// An anonymous pipe cannot be waited on, so it is looked at every few milliseconds.
bool ReadStandardInputWithin(std::string* input, int waitMilliseconds) {
    const ULONGLONG deadline =
        GetTickCount64() + static_cast<ULONGLONG>(std::max(0, waitMilliseconds));
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(StandardInput(), nullptr, 0, nullptr, &available, nullptr)) {
            return false;
        }
        if (available > 0) break;
        if (waitMilliseconds >= 0 && GetTickCount64() >= deadline) return false;
        Sleep(5);
    }
    char buffer[4096];
    const std::size_t count = ReadStandardInput(buffer, sizeof buffer);
    input->append(buffer, count);
    return count > 0;
}

void CloseStandardInput() {
    CloseStandardHandle(STD_INPUT_HANDLE, 0);
}

void CloseStandardOutputAndError() {
    std::fflush(stdout);
    std::fflush(stderr);
    CloseStandardHandle(STD_OUTPUT_HANDLE, 1);
    CloseStandardHandle(STD_ERROR_HANDLE, 2);
}

long ProcessId() {
    return static_cast<long>(GetCurrentProcessId());
}

long SessionId() {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return static_cast<long>(session);
}

std::string OpenDescriptors() {
    return "unknown";
}

// Windows has no fork: the grandchild is this program again, told only to sleep, with the
// standard handles inherited.
long StartGrandchild(const char* argv0, unsigned long milliseconds) {
    char path[MAX_PATH];
    if (GetModuleFileNameA(nullptr, path, sizeof path) == 0) return 0;
    std::string line = std::string("\"") + argv0 + "\" sleep " + std::to_string(milliseconds);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(path, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return 0;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(process.dwProcessId);
}

void WaitToBeEnded() {
    for (;;) Sleep(INFINITE);
}

void EndByForce() {
    TerminateProcess(GetCurrentProcess(), 1);
    for (;;) Sleep(INFINITE);
}
