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

// Whether the character separates folders in a path ("/"; on Windows "\\" as well).
bool IsPathSeparator(char c);

// Whether a value taken into a file name must not bring the character along: a folder
// separator, or a character the platform's file names cannot hold.
bool IsUnsafeInFileName(char c);

// Whether the system drops the character from the end of a file or folder name: on Windows a
// "." or a blank; on Linux none.
bool IsDroppedAtNameEnd(char c);

// Whether the path names an existing file that is not a folder.
bool IsExistingFile(const std::string& path);

// Whether the system would take the name, one part of a path, for a device rather than a file:
// on Windows CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1 to COM9 and LPT1 to LPT9 (also with the
// superscript digits 1 to 3), in any case and with any extension; on Linux no name.
bool IsDeviceName(const std::string& name);

// What tells one state of a file from another: its size and its last change, in the system's
// own units. Only a regular file has a stamp; a missing path, a folder or a device has none.
struct SFileStamp {
    bool isRegularFile = false;
    long long size = 0;
    long long modified = 0;

    bool operator==(const SFileStamp& other) const {
        return isRegularFile == other.isRegularFile && size == other.size &&
               modified == other.modified;
    }
};

// The file's stamp. On Windows a path longer than the classic limit is fine too.
SFileStamp GetFileStamp(const std::string& path);

// Whether the path names an existing folder.
bool IsExistingFolder(const std::string& path);

// Makes one folder in an existing one; false, with the system's reason, when it cannot be made
// or already exists.
bool MakeFolder(const std::string& path, std::string* error);

// Readies the process for unattended work: a write to a pipe that nobody reads fails instead
// of ending the process, and the end of every program it starts can be waited for whatever
// the host set. Programs it starts still get the default handling.
void PrepareProcess();

// Where the application's private profile lives (on Linux
// ${XDG_CONFIG_HOME:-$HOME/.config}/pelkar.ini, on Windows PELKAR.INI in the Windows
// directory; named after the executable).
std::string GetProfilePath();

// Creates a new, empty, uniquely named file in the directory, its name beginning with the
// prefix, and returns the name; false when no such file can be made.
bool MakeTempFileName(const std::string& directory, const std::string& prefix, std::string* name);

// Deletes a file; a missing file is not an error worth reporting. When the file stays, the
// system's reason goes to error (when given).
bool RemoveFile(const std::string& path, std::string* error = nullptr);

void SleepMilliseconds(unsigned milliseconds);

// Real time elapsed since the process started, in milliseconds.
long long ClockMilliseconds();

// The current local time, broken down.
std::tm LocalTimeNow();

// Whether a window can be shown at all (a display or desktop session is reachable).
bool IsDisplayAvailable();

// The message box of last resort: one line "CAPTION: TEXT" on standard error. On Windows,
// where a program of the window subsystem has no console, the system's own message box
// whenever a desktop is reachable.
void WriteConsoleMessage(const std::string& caption, const std::string& text);

// Prints a text for a user at a terminal (on standard output); false where the platform has
// no console for it, and the caller shows it in a box instead.
bool WriteToConsole(const std::string& text);

// Prints a report for the user who started the program: on standard output. On Windows, where
// a program of the window subsystem has no console of its own, on the standard output its
// starter handed over, else on the starter's console; false when there is neither, and the
// caller shows the report in a window instead.
bool WriteToStartingConsole(const std::string& text);

// An outside tool's default file name: the bare name on Linux (found on PATH), with ".exe"
// on Windows.
std::string DefaultToolName(const std::string& baseName);

// The program's path in the command the host is to run after each download: the executable's
// absolute path, since the host runs the command from a folder of its own; on Windows in quotes
// when it holds a blank.
std::string HostCommandProgramPath();
