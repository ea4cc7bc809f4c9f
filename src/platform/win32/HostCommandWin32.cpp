#include "model/ProcessArguments.h"
#include "platform/Paths.h"
#include "platform/Process.h"

// The executable's full path from the system: started from a prompt as "PELKAR", the program
// would otherwise hand the host a bare name that another working folder cannot start. A path
// with a blank goes in quotes: unquoted, Windows would try "C:\Program.exe" first, and a host
// that splits the line at blanks could not start it at all.
std::string HostCommandProgramPath() {
    const std::string executable = GetExecutablePath();
    const std::string path = executable.empty() ? GetProgramPath() : executable;
    if (path.find_first_of(" \t") == std::string::npos) return path;
    return "\"" + path + "\"";
}
