#pragma once

#include <string>

// Where things are and how paths are spelled on this system. Declared portably, defined in posix/
// or win32/.

// The system's temporary directory with its trailing separator ("/tmp/" when none is set).
std::string GetSystemTempDirectory();

// The separator that joins a directory and a file name ("/" or "\\").
const char* PathSeparator();

// Whether the character separates folders in a path ("/"; on Windows "\\" as well).
bool IsPathSeparator(char c);

// Whether a value taken into a file name must not bring the character along: a folder
// separator, or a character the platform's file names cannot hold.
bool IsUnsafeInFileName(char c);

// Whether the system drops the character from the end of a file or folder name: on Windows a
// "." or a blank; on Linux none.
bool IsDroppedAtNameEnd(char c);

// Whether the system would take the name, one part of a path, for a device rather than a file:
// on Windows CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1 to COM9 and LPT1 to LPT9 (also with the
// superscript digits 1 to 3), in any case and with any extension; on Linux no name.
bool IsDeviceName(const std::string& name);

// Where the application's private profile lives (on Linux
// ${XDG_CONFIG_HOME:-$HOME/.config}/pelkar.ini, on Windows PELKAR.INI in the Windows
// directory; named after the executable). Empty on Linux when neither variable nor the user's
// entry names an absolute folder: the program then has no profile.
std::string GetProfilePath();

// An outside tool's default file name: the bare name on Linux (found on PATH), with ".exe"
// on Windows.
std::string DefaultToolName(const std::string& baseName);

// The program's path in the command the host is to run after each download: the executable's
// absolute path, since the host runs the command from a folder of its own; on Windows in quotes
// when it holds a blank.
std::string HostCommandProgramPath();
