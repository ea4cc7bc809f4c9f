#include "model/ProcessArguments.h"
#include "platform/Paths.h"

// The path as the program was started, as the runtime's argument vector gives it. A path with
// a blank goes in quotes: unquoted, Windows would try "C:\Program.exe" first, and a host that
// splits the line at blanks could not start it at all.
std::string HostCommandProgramPath() {
    const std::string path = GetProgramPath();
    if (path.find_first_of(" \t") == std::string::npos) return path;
    return "\"" + path + "\"";
}
