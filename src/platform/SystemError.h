#pragma once

#include <string>

// How a system call failed: the system's own code (errno on Linux, GetLastError on Windows)
// and the system's own wording of it, which the log shows.
struct SSystemError {
    int code = 0;
    std::string text;
};

SSystemError SystemError(int code);
