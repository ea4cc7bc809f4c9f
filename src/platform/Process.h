#pragma once

#include <ctime>
#include <string>

// The running process: its id, its preparation for unattended work, time and sleep. Declared
// portably, defined in posix/ or win32/.

int CurrentProcessId();

// The absolute path of the running executable; empty when the system does not tell.
std::string GetExecutablePath();

// Readies the process for unattended work: a write to a pipe that nobody reads fails instead
// of ending the process, and the end of every program it starts can be waited for whatever
// the host set. Programs it starts still get the default handling.
void PrepareProcess();

void SleepMilliseconds(unsigned milliseconds);

// Real time elapsed since the process started, in milliseconds.
long long ClockMilliseconds();

// The current local time, broken down.
std::tm LocalTimeNow();
