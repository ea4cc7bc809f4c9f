#include "TestSupportWin32.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>


namespace {

// Paths from the build use forward slashes; the program and its tools are given the
// system's own form.
std::string WithBackslashes(std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

std::string Quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    std::string::size_type backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

struct SPipe {
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    ~SPipe() {
        if (read) CloseHandle(read);
        if (write) CloseHandle(write);
    }
};

std::string ReadAll(HANDLE handle) {
    std::string text;
    char buffer[4096];
    DWORD count = 0;
    while (ReadFile(handle, buffer, sizeof buffer, &count, nullptr) && count > 0) {
        text.append(buffer, count);
    }
    return text;
}

// The environment block of the child: this process's, with the given variables set.
std::string EnvironmentBlock(const std::map<std::string, std::string>& extra) {
    std::map<std::string, std::string> variables;
    char* block = GetEnvironmentStringsA();
    for (const char* entry = block; *entry; entry += std::strlen(entry) + 1) {
        const std::string text = entry;
        const std::string::size_type equals = text.find('=', 1);
        if (equals != std::string::npos)
            variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    FreeEnvironmentStringsA(block);
    for (const auto& [name, value] : extra) variables[name] = value;
    std::string result;
    for (const auto& [name, value] : variables) result += name + "=" + value + '\0';
    return result + '\0';
}

}  // namespace

TempDir::TempDir() {
    const std::string base = std::filesystem::temp_directory_path().string();
    char name[MAX_PATH];
    if (GetTempFileNameA(base.c_str(), "pel", 0, name) == 0 || !DeleteFileA(name) ||
        !CreateDirectoryA(name, nullptr)) {
        throw std::runtime_error("cannot make a scratch folder");
    }
    m_path = name;
}

std::string TempDir::File(const std::string& name) const {
    return m_path + "\\" + name;
}

std::string SystemText(const std::string& text) {
    std::string converted;
    for (char c : text) {
        if (c == '\n') converted += '\r';
        converted += c;
    }
    return converted;
}

std::string PelkarPath() {
    return WithBackslashes(PELKAR_EXE);
}

std::string ToolPath(const std::string& name) {
    return WithBackslashes(std::string(PELKAR_TOOLS_DIR) + "/" + name);
}

void SetEnvironment(const std::string& name, const std::string& value) {
    _putenv_s(name.c_str(), value.c_str());
    SetEnvironmentVariableA(name.c_str(), value.c_str());
}

void UnsetEnvironment(const std::string& name) {
    _putenv_s(name.c_str(), "");
    SetEnvironmentVariableA(name.c_str(), nullptr);
}

std::string WindowsDirectory() {
    char buffer[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    return std::string(buffer, length);
}

// The arguments are quoted by the C runtime's rules, so the program's argument vector is
// the one given.
ProcessResult RunProgram(const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment) {
    std::string line;
    for (const std::string& argument : arguments)
        line += (line.empty() ? "" : " ") + Quoted(argument);
    return RunCommandLine(line, environment);
}

ProcessResult RunCommandLine(const std::string& commandLine,
                             const std::map<std::string, std::string>& environment) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    SPipe output, error;
    if (!CreatePipe(&output.read, &output.write, &inheritable, 0) ||
        !CreatePipe(&error.read, &error.write, &inheritable, 0)) {
        throw std::runtime_error("CreatePipe failed");
    }
    SetHandleInformation(output.read, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(error.read, HANDLE_FLAG_INHERIT, 0);
    const HANDLE nothing = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       &inheritable, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing;
    startup.hStdOutput = output.write;
    startup.hStdError = error.write;
    std::string line = commandLine;
    std::string block = EnvironmentBlock(environment);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                        &block[0], nullptr, &startup, &process);
    CloseHandle(nothing);
    CloseHandle(output.write);
    CloseHandle(error.write);
    output.write = error.write = nullptr;
    ProcessResult result;
    if (!started) return result;
    CloseHandle(process.hThread);
    // Small outputs only: read standard output fully, then standard error.
    result.standardOutput = ReadAll(output.read);
    result.standardError = ReadAll(error.read);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    result.exitStatus = static_cast<int>(code);
    return result;
}
