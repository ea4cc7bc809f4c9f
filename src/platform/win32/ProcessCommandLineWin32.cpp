#include <windows.h>

#include "model/ProcessArguments.h"
#include "platform/ProcessCommandLine.h"

// The line exactly as the host wrote it, quotes and all.
std::string GetProcessCommandLine() {
    const char* line = GetCommandLineA();
    return line ? line : "";
}
