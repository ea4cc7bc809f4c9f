#include <cstdio>

#include "platform/ErrorLine.h"

// Text mode: the line ends in CR LF, as the message box of last resort's does without a desktop.
void WriteErrorLine(const std::string& caption, const std::string& text) {
    const std::string line = caption + ": " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}
