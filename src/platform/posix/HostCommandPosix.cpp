#include "model/ProcessArguments.h"
#include "platform/Paths.h"
#include "platform/Process.h"

// A path as typed ("./pelkar") would name another file, or none, from the host's folder.
std::string HostCommandProgramPath() {
    const std::string executable = GetExecutablePath();
    return executable.empty() ? GetProgramPath() : executable;
}
