// runner_child: a console child for the tests of the console process runner. Its arguments
// are steps, carried out in order:
//   out TEXT    writes TEXT and a line feed to standard output, in one write
//   err TEXT    the same to standard error
//   bytes N     writes N bytes ("abc...z" over and over) to standard output, in one write
//   sleep MS    pauses MS milliseconds
//   nul         writes "a", a zero byte and "b\n", in one write
//   pid         writes "pid=<its process id>\n"
//   sid         writes "sid=<its session id>\n"
//   fds         writes "fds=<its open descriptors, ascending, comma-separated>\n" ("unknown"
//               on Windows)
//   line        reads standard input up to a line feed and writes "line=<what it read>\n"
//   echo        copies standard input to standard output until the input ends
//   closein     closes standard input
//   closeout    closes standard output and standard error
//   hang        waits until something from outside ends it
//   killself    ends itself by force, as an outside kill would (SIGKILL on POSIX)
//   daemon MS   starts a grandchild that holds the standard streams for MS milliseconds and
//               writes "grandchild=<its process id>\n"
//   exit N      ends at once with status N
//   args        writes each of its arguments, argv[0] included, as "[argument]\n" and ends
// It ends with status 0 after the last step, and with status 2 at an unknown step.

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "StandInSupport.h"

namespace {

std::string Pattern(size_t length) {
    std::string bytes;
    for (size_t i = 0; i < length; ++i) bytes += static_cast<char>('a' + i % 26);
    return bytes;
}

std::string ReadLine() {
    std::string line;
    char c;
    while (ReadStandardInput(&c, 1) == 1 && c != '\n') line += c;
    return line;
}

void Echo() {
    char buffer[4096];
    std::size_t count;
    while ((count = ReadStandardInput(buffer, sizeof buffer)) > 0) {
        WriteText(stdout, std::string(buffer, count));
    }
}

void PrintArguments(int argc, char** argv) {
    for (int i = 0; i < argc; ++i) WriteText(stdout, "[" + std::string(argv[i]) + "]\n");
}

void Pause(unsigned long milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

const char* g_argv0 = "runner_child";

// False when the step is not one without a parameter.
bool RunPlainStep(const std::string& step) {
    if (step == "nul") {
        WriteText(stdout, std::string("a\0b\n", 4));
    } else if (step == "pid") {
        WriteText(stdout, "pid=" + std::to_string(ProcessId()) + "\n");
    } else if (step == "sid") {
        WriteText(stdout, "sid=" + std::to_string(SessionId()) + "\n");
    } else if (step == "fds") {
        WriteText(stdout, "fds=" + OpenDescriptors() + "\n");
    } else if (step == "line") {
        WriteText(stdout, "line=" + ReadLine() + "\n");
    } else if (step == "echo") {
        Echo();
    } else if (step == "closein") {
        CloseStandardInput();
    } else if (step == "closeout") {
        CloseStandardOutputAndError();
    } else if (step == "hang") {
        WaitToBeEnded();
    } else if (step == "killself") {
        EndByForce();
    } else {
        return false;
    }
    return true;
}

// False when the step is not one with a parameter.
bool RunStepWithParameter(const std::string& step, const std::string& parameter) {
    if (step == "out") {
        WriteText(stdout, parameter + "\n");
    } else if (step == "err") {
        WriteText(stderr, parameter + "\n");
    } else if (step == "bytes") {
        WriteText(stdout, Pattern(std::strtoul(parameter.c_str(), nullptr, 10)));
    } else if (step == "sleep") {
        Pause(std::strtoul(parameter.c_str(), nullptr, 10));
    } else if (step == "daemon") {
        const long grandchild =
            StartGrandchild(g_argv0, std::strtoul(parameter.c_str(), nullptr, 10));
        WriteText(stdout, "grandchild=" + std::to_string(grandchild) + "\n");
    } else if (step == "exit") {
        std::exit(std::atoi(parameter.c_str()));
    } else {
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    UseBinaryStandardStreams();
    g_argv0 = argv[0];
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
