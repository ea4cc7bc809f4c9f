#pragma once

#include <string>

// A path as one argument of a tool's command line: in double quotes, written so that the
// command-line split (the Windows C runtime's rules) gives back exactly the path. A double
// quote inside it becomes \", so a recording's title cannot end the argument early and
// smuggle options into the command; backslashes are doubled only where they stand before a
// double quote or the closing quote, so ordinary paths are written as they are.
std::string QuotedArgument(const std::string& path);

// A tool's path as the program of a command line. A path with a blank is put in quotes, so
// that "C:\Program Files\x.exe" does not run "C:\Program" (the quotes of a program name only
// group); a path without one, or one already in quotes, is written as it is.
std::string QuotedProgram(const std::string& path);
