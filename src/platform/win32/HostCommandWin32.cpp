#include "model/ProcessArguments.h"
#include "platform/Platform.h"

// The path as the program was started, unquoted, as the runtime's argument vector gives it.
std::string HostCommandProgramPath() {
    return GetProgramPath();
}
