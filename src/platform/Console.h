#pragma once

#include <string>

// What the user who started the program sees without a window: standard output and error. Declared
// portably, defined in posix/ or win32/.

// Whether a window can be shown at all (a display or desktop session is reachable).
bool IsDisplayAvailable();

// The message box of last resort: one line "CAPTION: TEXT" on standard error. On Windows,
// where a program of the window subsystem has no console, the system's own message box
// whenever a desktop is reachable.
void WriteConsoleMessage(const std::string& caption, const std::string& text);

// How a text for the user who started the program went out.
enum class EConsoleWrite {
    Written,
    NoConsole,  // the platform has no console for it: the caller shows it in a box instead
    Failed,     // the output would not take all of it (a full disk, a closed stream)
};

// Prints a text for a user at a terminal (on standard output); NoConsole where the platform
// has none. On failure, error (when given) gets the system's reason.
EConsoleWrite WriteToConsole(const std::string& text, std::string* error = nullptr);

// Prints a report for the user who started the program: on standard output. On Windows, where
// a program of the window subsystem has no console of its own, on the standard output its
// starter handed over, else on the starter's console; NoConsole when there is neither, and the
// caller shows the report in a window instead. On failure, error (when given) gets the
// system's reason.
EConsoleWrite WriteToStartingConsole(const std::string& text, std::string* error = nullptr);
