#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "TestSupportPosix.h"

TempDir::TempDir() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/pelkar-test-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

std::string TempDir::File(const std::string& name) const {
    return m_path + "/" + name;
}

std::string SystemText(const std::string& text) {
    return text;
}

std::string PelkarPath() {
    return PELKAR_EXE;
}

std::string ToolPath(const std::string& name) {
    return std::string(PELKAR_TOOLS_DIR) + "/" + name;
}

void SetEnvironment(const std::string& name, const std::string& value) {
    setenv(name.c_str(), value.c_str(), 1);
}

void UnsetEnvironment(const std::string& name) {
    unsetenv(name.c_str());
}

namespace {

std::string ReadAllFrom(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t count;
    while ((count = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, count);
    return text;
}

}  // namespace

pid_t StartProgram(const std::vector<std::string>& arguments,
                   const std::map<std::string, std::string>& environment, int outputFd,
                   int errorFd) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(outputFd, 1);
        dup2(errorFd, 2);
        int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, 0);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

ProcessResult RunProgram(const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment) {
    int outPipe[2], errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe2 failed");
    const pid_t pid = StartProgram(arguments, environment, outPipe[1], errPipe[1]);
    close(outPipe[1]);
    close(errPipe[1]);
    ProcessResult result;
    // Small outputs only: read stdout fully, then stderr.
    result.standardOutput = ReadAllFrom(outPipe[0]);
    result.standardError = ReadAllFrom(errPipe[0]);
    close(outPipe[0]);
    close(errPipe[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
