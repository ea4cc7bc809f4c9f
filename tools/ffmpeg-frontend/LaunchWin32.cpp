#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <cstdio>
#include <string>

#include "Launch.h"
#include "WindowsCommandLine.h"

namespace {

// Ctrl+C and Ctrl+Break reach every program on the console, the transcoder too, which then
// ends by itself; the front end only waits for it.
BOOL WINAPI WaitForTranscoder(DWORD event) {
    return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
}

class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE handle = nullptr) : m_handle(handle) {}
    ~OwnedHandle() { Close(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    HANDLE* Receive() { return &m_handle; }
    void Close() {
        if (m_handle && m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
        m_handle = nullptr;
    }

private:
    HANDLE m_handle;
};

// Starts the command line with the three standard handles given, inherited; the process
// handle, or none when it cannot be started.
HANDLE StartProcess(std::string commandLine, HANDLE input, HANDLE output, HANDLE error) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = error;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

HANDLE OpenNul() {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       &inheritable, OPEN_EXISTING, 0, nullptr);
}

int WaitForExitStatus(HANDLE process) {
    WaitForSingleObject(process, INFINITE);
    DWORD status = 127;
    GetExitCodeProcess(process, &status);
    return static_cast<int>(status);
}

}  // namespace

const char* DefaultTranscoder() {
    return "ffmpeg.exe";
}

long ParentProcessId() {
    OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.Get() == INVALID_HANDLE_VALUE) return 0;
    const DWORD self = GetCurrentProcessId();
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more;
         more = Process32Next(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID == self) return static_cast<long>(entry.th32ParentProcessID);
    }
    return 0;
}

// PELKAR's job already ends the front end and the transcoder with PELKAR.
void StopWithStarter() {}

std::string TemporaryDirectory() {
    char buffer[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof buffer, buffer);
    std::string directory = length > 0 && length <= MAX_PATH ? std::string(buffer, length) : ".";
    while (directory.size() > 3 && (directory.back() == '\\' || directory.back() == '/'))
        directory.pop_back();
    return directory;
}

std::string CaptureStandardOutput(const std::vector<std::string>& arguments) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    OwnedHandle readEnd, writeEnd;
    if (!CreatePipe(readEnd.Receive(), writeEnd.Receive(), &inheritable, 0)) return std::string();
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    OwnedHandle nothing(OpenNul());
    OwnedHandle process(StartProcess(JoinWindowsCommandLine(arguments), nothing.Get(),
                                     writeEnd.Get(), nothing.Get()));
    writeEnd.Close();
    std::string listing;
    if (!process.Get()) return listing;
    char buffer[4096];
    DWORD count = 0;
    while (ReadFile(readEnd.Get(), buffer, sizeof buffer, &count, nullptr) && count > 0)
        listing.append(buffer, count);
    WaitForSingleObject(process.Get(), INFINITE);
    return listing;
}

int RunTranscoder(const std::vector<std::string>& arguments) {
    const std::string commandLine = JoinWindowsCommandLine(arguments);
    SetConsoleCtrlHandler(WaitForTranscoder, TRUE);
    OwnedHandle process(StartProcess(commandLine, GetStdHandle(STD_INPUT_HANDLE),
                                     GetStdHandle(STD_OUTPUT_HANDLE),
                                     GetStdHandle(STD_ERROR_HANDLE)));
    if (!process.Get()) {
        std::fprintf(stderr, "pelkar-ffmpeg: cannot run %s: error %lu\n", arguments[0].c_str(),
                     GetLastError());
        return 127;
    }
    return WaitForExitStatus(process.Get());
}

int RunQuietly(const std::vector<std::string>& arguments) {
    SetConsoleCtrlHandler(WaitForTranscoder, TRUE);
    OwnedHandle nothing(OpenNul());
    OwnedHandle process(StartProcess(JoinWindowsCommandLine(arguments), nothing.Get(),
                                     nothing.Get(), nothing.Get()));
    return process.Get() ? WaitForExitStatus(process.Get()) : 127;
}

int StopSignal() {
    return 0;
}
