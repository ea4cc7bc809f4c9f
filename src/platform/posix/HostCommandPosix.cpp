#include "model/ProcessArguments.h"
#include "platform/Platform.h"

// A path as typed ("./pelkar") would name another file, or none, from the host's folder.
std::string HostCommandProgramPath() {
    const std::string executable = GetExecutablePath();
    return executable.empty() ? GetProgramPath() : executable;
}
