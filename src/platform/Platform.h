#pragma once

#include <ctime>
#include <string>

// Services every back end provides, declared portably and defined in posix/ or win32/.

int CurrentProcessId();

// The system's temporary directory with its trailing separator ("/tmp/" when none is set).
std::string GetSystemTempDirectory();

// The absolute path of the running executable; empty when the system does not tell.
std::string GetExecutablePath();

// The separator that joins a directory and a file name ("/" or "\\").
const char* PathSeparator();

// Where the application's private profile lives (on Linux
// ${XDG_CONFIG_HOME:-$HOME/.config}/pelkar.ini, named after the executable).
std::string GetProfilePath();

// Creates a new, empty, uniquely named file in the directory, its name beginning with the
// prefix, and returns the name; false when no such file can be made.
bool MakeTempFileName(const std::string& directory, const std::string& prefix, std::string* name);

// Deletes a file; a missing file is not an error worth reporting.
bool RemoveFile(const std::string& path);

void SleepMilliseconds(unsigned milliseconds);

// Real time elapsed since the process started, in milliseconds.
long long ClockMilliseconds();

// The current local time, broken down.
std::tm LocalTimeNow();

// Whether a window can be shown at all (a display or desktop session is reachable).
bool IsDisplayAvailable();

// The message box of last resort: one line "CAPTION: TEXT" on standard error.
void WriteConsoleMessage(const std::string& caption, const std::string& text);

// Prints the usage text where a user at a terminal reads it (standard output); false where the
// platform shows its help box instead.
bool WriteUsageToConsole(const std::string& usage);

// An outside tool's default file name: the bare name on Linux (found on PATH), with ".exe"
// on Windows.
std::string DefaultToolName(const std::string& baseName);
