#pragma once

#include <string>
#include <vector>

// What the front end, and the stripping tools beside it, ask of the system, defined in
// LaunchPosix.cpp and LaunchWin32.cpp.

// The transcoder run when PELKAR_FFMPEG names none ("ffmpeg", "ffmpeg.exe").
const char* DefaultTranscoder();

// The process that started this one: PELKAR, the same for both passes of a conversion.
long ParentProcessId();

// A front end that its starter asked the system to end when the starter ends (as PELKAR does,
// by force) is asked to stop instead: the transcoder then stops, and the pass log goes, as on
// any other stop.
void StopWithStarter();

// The system's folder for temporary files, without a trailing separator.
std::string TemporaryDirectory();

// The program's standard output while it runs with the arguments (arguments[0] is the
// program, looked for as the system looks for commands); empty when it cannot be run.
std::string CaptureStandardOutput(const std::vector<std::string>& arguments);

// The number of the signal that asked this process to stop, or 0 while none has (always 0 on
// Windows, where the starter ends the process instead): a program's status above 128 is a stop
// only then, since a program may end with such a status by itself.
int StopSignal();

// Runs the program on this process's standard streams and waits for it; while it runs, a
// request to end this process (SIGTERM or SIGINT, Ctrl+C) goes to the program instead, and the
// program never outlives this process. Its exit status, 128 + the number of the signal that
// ended it or that this process was stopped with; 127 with a message on standard error when it
// cannot be started.
// A stop asked for between two runs ends the next one before it starts.
int RunTranscoder(const std::vector<std::string>& arguments);

// As RunTranscoder, with the program's standard streams on the null device and no message of
// its own.
int RunQuietly(const std::vector<std::string>& arguments);
