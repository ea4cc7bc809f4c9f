#pragma once

#include <cstddef>
#include <string>

// What the stand-ins and the runner's test child need from the system beyond the standard
// library. Defined in ToolSystemPosix.cpp and ToolSystemWin32.cpp.

// Standard output and error pass the bytes on as written, with no line-end translation.
void UseBinaryStandardStreams();

// Reads up to size bytes of standard input, waiting for them; 0 at the end of the input.
std::size_t ReadStandardInput(char* buffer, std::size_t size);

// Appends what arrives on standard input within the wait (a negative wait waits as long as it
// takes); false at the end of the input or when nothing came.
bool ReadStandardInputWithin(std::string* input, int waitMilliseconds);

void CloseStandardInput();
void CloseStandardOutputAndError();

long ProcessId();
// The id of the process's session (its terminal session on Windows).
long SessionId();
// The process's open descriptors, ascending and comma-separated; "unknown" where the system
// cannot list them.
std::string OpenDescriptors();

// Starts a copy of this program (argv0) that holds the standard streams for that long, and
// returns its process id.
long StartGrandchild(const char* argv0, unsigned long milliseconds);

// Waits until something from outside ends the process.
[[noreturn]] void WaitToBeEnded();
// Ends the process at once, the way an outside kill would.
[[noreturn]] void EndByForce();
