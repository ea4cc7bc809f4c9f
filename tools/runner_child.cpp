// runner_child: a console child for the tests of the console process runner. Its arguments
// are steps, carried out in order:
//   out TEXT    writes TEXT and a line feed to standard output, in one write
//   err TEXT    the same to standard error
//   bytes N     writes N bytes ("abc...z" over and over) to standard output, in one write
//   sleep MS    pauses MS milliseconds
//   pid         writes "pid=<its process id>\n"
//   sid         writes "sid=<its session id>\n"
//   fds         writes "fds=<its open descriptors, ascending, comma-separated>\n"
//   line        reads standard input up to a line feed and writes "line=<what it read>\n"
//   echo        copies standard input to standard output until the input ends
//   closein     closes standard input
//   closeout    closes standard output and standard error
//   hang        waits until a signal ends it
//   killself    ends itself with SIGKILL
//   daemon MS   starts a grandchild that holds the standard streams for MS milliseconds and
//               writes "grandchild=<its process id>\n"
//   exit N      ends at once with status N
//   args        writes each of its arguments, argv[0] included, as "[argument]\n" and ends
// It ends with status 0 after the last step, and with status 2 at an unknown step.

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "StandInSupport.h"

namespace {

std::string Pattern(size_t length) {
    std::string bytes;
    for (size_t i = 0; i < length; ++i) bytes += static_cast<char>('a' + i % 26);
    return bytes;
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

std::string ReadLine() {
    std::string line;
    char c;
    while (read(STDIN_FILENO, &c, 1) == 1 && c != '\n') line += c;
    return line;
}

void Echo() {
    char buffer[4096];
    ssize_t count;
    while ((count = read(STDIN_FILENO, buffer, sizeof buffer)) > 0) {
        WriteText(STDOUT_FILENO, std::string(buffer, static_cast<size_t>(count)));
    }
}

void PrintArguments(int argc, char** argv) {
    for (int i = 0; i < argc; ++i) WriteText(STDOUT_FILENO, "[" + std::string(argv[i]) + "]\n");
}

void Pause(unsigned long milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void StartGrandchild(unsigned long milliseconds) {
    const pid_t grandchild = fork();
    if (grandchild == 0) {
        Pause(milliseconds);
        _exit(0);
    }
    WriteText(STDOUT_FILENO, "grandchild=" + std::to_string(grandchild) + "\n");
}

// False when the step is not one without a parameter.
bool RunPlainStep(const std::string& step) {
    if (step == "pid") {
        WriteText(STDOUT_FILENO, "pid=" + std::to_string(getpid()) + "\n");
    } else if (step == "sid") {
        WriteText(STDOUT_FILENO, "sid=" + std::to_string(getsid(0)) + "\n");
    } else if (step == "fds") {
        WriteText(STDOUT_FILENO, "fds=" + OpenDescriptors() + "\n");
    } else if (step == "line") {
        WriteText(STDOUT_FILENO, "line=" + ReadLine() + "\n");
    } else if (step == "echo") {
        Echo();
    } else if (step == "closein") {
        close(STDIN_FILENO);
    } else if (step == "closeout") {
        close(STDOUT_FILENO);
        close(STDERR_FILENO);
    } else if (step == "hang") {
        for (;;) pause();
    } else if (step == "killself") {
        kill(getpid(), SIGKILL);
    } else {
        return false;
    }
    return true;
}

// False when the step is not one with a parameter.
bool RunStepWithParameter(const std::string& step, const std::string& parameter) {
    if (step == "out") {
        WriteText(STDOUT_FILENO, parameter + "\n");
    } else if (step == "err") {
        WriteText(STDERR_FILENO, parameter + "\n");
    } else if (step == "bytes") {
        WriteText(STDOUT_FILENO, Pattern(std::strtoul(parameter.c_str(), nullptr, 10)));
    } else if (step == "sleep") {
        Pause(std::strtoul(parameter.c_str(), nullptr, 10));
    } else if (step == "daemon") {
        StartGrandchild(std::strtoul(parameter.c_str(), nullptr, 10));
    } else if (step == "exit") {
        std::exit(std::atoi(parameter.c_str()));
    } else {
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "args") {
        PrintArguments(argc, argv);
        return 0;
    }
    for (int index = 1; index < argc; ++index) {
        const std::string step = argv[index];
        if (RunPlainStep(step)) continue;
        if (index + 1 >= argc || !RunStepWithParameter(step, argv[++index])) return 2;
    }
    return 0;
}
