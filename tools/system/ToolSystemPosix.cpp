#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "ToolSystem.h"

void UseBinaryStandardStreams() {}

std::size_t ReadStandardInput(char* buffer, std::size_t size) {
    const ssize_t count = read(STDIN_FILENO, buffer, size);
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}

bool ReadStandardInputWithin(std::string* input, int waitMilliseconds) {
    pollfd in{STDIN_FILENO, POLLIN, 0};
    if (poll(&in, 1, waitMilliseconds) <= 0) return false;
    char buffer[4096];
    const std::size_t count = ReadStandardInput(buffer, sizeof buffer);
    input->append(buffer, count);
    return count > 0;
}

void CloseStandardInput() {
    close(STDIN_FILENO);
}

void CloseStandardOutputAndError() {
    close(STDOUT_FILENO);
    close(STDERR_FILENO);
}

long ProcessId() {
    return static_cast<long>(getpid());
}

long SessionId() {
    return static_cast<long>(getsid(0));
}

std::string OpenDescriptors() {
    std::vector<int> descriptors;
    DIR* listing = opendir("/proc/self/fd");
    if (!listing) return "unknown";
    while (const dirent* entry = readdir(listing)) {
        if (entry->d_name[0] == '.') continue;
        const int fd = std::atoi(entry->d_name);
        if (fd != dirfd(listing)) descriptors.push_back(fd);
    }
    closedir(listing);
    std::sort(descriptors.begin(), descriptors.end());
    std::string text;
    for (int fd : descriptors) text += (text.empty() ? "" : ",") + std::to_string(fd);
    return text;
}

long StartGrandchild(const char*, unsigned long milliseconds) {
    const pid_t grandchild = fork();
    if (grandchild == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        _exit(0);
    }
    return static_cast<long>(grandchild);
}

void WaitToBeEnded() {
    for (;;) pause();
}

void EndByForce() {
    kill(getpid(), SIGKILL);
    for (;;) pause();
}
