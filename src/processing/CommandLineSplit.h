#pragma once

#include <string>
#include <vector>

// Splits a command line into a program's arguments by the rules of the Windows C runtime, so
// that a command line built for a Windows tool means the same on every system.
//
// The first word is the program name: it ends at the first space or tab outside double quotes,
// and its quotes only group (a backslash there is an ordinary character, as in a path).
// Every later word ends at a space or tab outside double quotes, and in it:
//  - 2n backslashes and a double quote give n backslashes, and the quote opens or closes a
//    quoted part;
//  - 2n+1 backslashes and a double quote give n backslashes and a literal double quote;
//  - backslashes not followed by a double quote stay as they are;
//  - inside a quoted part, two double quotes give one literal double quote and the part goes on.
// Blanks before the program name are skipped; a line of blanks has no arguments.
std::vector<std::string> SplitWindowsCommandLine(const std::string& commandLine);
