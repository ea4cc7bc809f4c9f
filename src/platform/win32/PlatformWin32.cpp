#include <windows.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/Console.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/win32/LongPathWin32.h"
#include "platform/win32/SystemErrorWin32.h"

namespace {

// The classic path buffer of the system's calls.
const DWORD kPathBufferSize = MAX_PATH;

std::string WithTrailingBackslash(const std::string& directory) {
    if (directory.empty() || IsPathSeparator(directory.back())) return directory;
    return directory + "\\";
}

std::string FileNameWithoutExtension(const std::string& path) {
    std::string::size_type start = path.size();
    while (start > 0 && !IsPathSeparator(path[start - 1])) --start;
    const std::string name = path.substr(start);
    const std::string::size_type dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string WindowsDirectory() {
    char buffer[kPathBufferSize];
    const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) return std::string();
    return std::string(buffer, length);
}

long long PerformanceCount() {
    LARGE_INTEGER count{};
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

long long PerformanceFrequency() {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

// Taken while the program is being loaded, so the clock counts from the process's start. The
// performance counter, unlike the tick count, resolves single milliseconds.
const long long g_startCount = PerformanceCount();
const long long g_countsPerSecond = PerformanceFrequency();

// A window can be made only where a desktop is reachable: under a service account, or under
// Wine without an X display, the attempt fails at once.
bool CanCreateWindow() {
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    if (!probe) return false;
    DestroyWindow(probe);
    return true;
}

// The device names count with any extension, and Windows ignores blanks before it.
std::string DeviceNameStem(const std::string& name) {
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return stem;
}

// The system, which compares names in UTF-16, takes the superscript digits one to three as port
// numbers too (in the ANSI code page 1252 the bytes 0xB9, 0xB2 and 0xB3).
bool IsPortNumber(const std::wstring& digit) {
    if (digit.size() != 1) return false;
    const wchar_t c = digit[0];
    return (c >= L'1' && c <= L'9') || c == L'\u00B9' || c == L'\u00B2' || c == L'\u00B3';
}

// An output the starter handed over (a pipe, a file, a terminal under Wine).
bool HasStandardOutput() {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    return output && output != INVALID_HANDLE_VALUE && GetFileType(output) != FILE_TYPE_UNKNOWN;
}

// The console of the program that started this one (a command prompt), as standard output.
bool AttachStartersConsole() {
    return AttachConsole(ATTACH_PARENT_PROCESS) && std::freopen("CONOUT$", "w", stdout);
}

void WriteStandardError(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

}  // namespace

int CurrentProcessId() {
    return static_cast<int>(GetCurrentProcessId());
}

// The system's answer keeps its trailing backslash, as the profile's default wants it.
std::string GetSystemTempDirectory() {
    char buffer[kPathBufferSize];
    const DWORD length = GetTempPathA(sizeof buffer, buffer);
    if (length == 0 || length >= sizeof buffer) return std::string();
    return std::string(buffer, length);
}

const char* PathSeparator() {
    return "\\";
}

bool IsPathSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsUnsafeInFileName(char c) {
    const unsigned char code = static_cast<unsigned char>(c);
    return code < 0x20 || std::string("\\/:*?\"<>|").find(c) != std::string::npos;
}

bool IsDroppedAtNameEnd(char c) {
    return c == '.' || c == ' ';
}

bool IsExistingFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsDeviceName(const std::string& name) {
    const std::string stem = DeviceNameStem(name);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (stem == device) return true;
    }
    const bool port = stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0;
    return port && IsPortNumber(WideText(stem.substr(3)));
}

SFileStamp GetFileStamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    SFileStamp stamp;
    if (!GetFileAttributesExW(LongPathForm(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
        return stamp;
    }
    stamp.isRegularFile = true;
    stamp.size = static_cast<long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    stamp.modified = static_cast<long long>(data.ftLastWriteTime.dwHighDateTime) << 32 |
                     data.ftLastWriteTime.dwLowDateTime;
    return stamp;
}

bool IsExistingFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(LongPathForm(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeFolder(const std::string& path, std::string* error) {
    if (CreateDirectoryW(LongPathForm(path).c_str(), nullptr)) return true;
    *error = SystemErrorText(GetLastError());
    return false;
}

// A write to a pipe whose reader has gone already fails with an error here; nothing ends the
// process for it.
void PrepareProcess() {}

std::string GetExecutablePath() {
    char buffer[kPathBufferSize];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) return std::string();
    return std::string(buffer, length);
}

// The application's private profile: named after the executable, in the Windows directory.
std::string GetProfilePath() {
    return WithTrailingBackslash(WindowsDirectory()) +
           FileNameWithoutExtension(GetExecutablePath()) + ".INI";
}

bool MakeTempFileName(const std::string& directory, const std::string& prefix, std::string* name,
                      SSystemError* error) {
    char buffer[kPathBufferSize];
    if (GetTempFileNameA(directory.c_str(), prefix.c_str(), 0, buffer) == 0) {
        *error = SystemError(static_cast<int>(GetLastError()));
        return false;
    }
    *name = buffer;
    return true;
}

bool RemoveFile(const std::string& path, std::string* error) {
    if (DeleteFileW(LongPathForm(path).c_str())) return true;
    const DWORD failure = GetLastError();
    if (failure == ERROR_FILE_NOT_FOUND || failure == ERROR_PATH_NOT_FOUND) return true;
    if (error) *error = SystemErrorText(failure);
    return false;
}

void SleepMilliseconds(unsigned milliseconds) {
    Sleep(milliseconds);
}

long long ClockMilliseconds() {
    return (PerformanceCount() - g_startCount) * 1000 / g_countsPerSecond;
}

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    return local;
}

bool IsDisplayAvailable() {
    static const bool available = CanCreateWindow();
    return available;
}

// A program of the window subsystem has no console: the box is the system's own, and only
// without a desktop does the text go to standard error (where a caller may have put a pipe).
void WriteConsoleMessage(const std::string& caption, const std::string& text) {
    if (IsDisplayAvailable() &&
        MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_SETFOREGROUND) > 0) {
        return;
    }
    WriteStandardError(caption + ": " + text + "\n");
}

// The program's window subsystem gives it no console to print to; the caller shows a box.
EConsoleWrite WriteToConsole(const std::string&, std::string*) {
    return EConsoleWrite::NoConsole;
}

// Standard output is in text mode: the report's lines end in CR LF.
EConsoleWrite WriteToStartingConsole(const std::string& text, std::string* error) {
    if (!HasStandardOutput() && !AttachStartersConsole()) return EConsoleWrite::NoConsole;
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (std::fflush(stdout) == 0 && written) return EConsoleWrite::Written;
    if (error) *error = std::strerror(errno);
    return EConsoleWrite::Failed;
}

std::string DefaultToolName(const std::string& baseName) {
    return baseName + ".exe";
}
