#pragma once

#include <string>

// The search of CreateProcess: a name with a slash is taken as it is, any other is looked for
// beside the running executable and then in the directories of PATH. 0 with the path, else
// ENOENT, or EACCES for a file found that may not be run.
int FindProgram(const std::string& name, std::string* path);
