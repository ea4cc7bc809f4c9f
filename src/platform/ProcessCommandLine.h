#pragma once

#include <string>

// The whole command line as one text: on Windows as the system gives it, elsewhere the
// argument vector joined with single spaces, the program's path first.
std::string GetProcessCommandLine();
