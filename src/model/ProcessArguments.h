#pragma once

#include <string>
#include <vector>

// What the platform tells about how this process was started. The model asks nothing else
// of the platform.

// Called once by the program's entry point; tests call it to simulate a start.
void SetProcessArguments(const std::vector<std::string>& arguments);

// The arguments as last set, the program's path first. Before any start is recorded, those of
// a program named "pelkar" started without arguments.
const std::vector<std::string>& GetProcessArguments();

// The number of arguments, the program's own path counted as one.
int GetProcessArgumentCount();

// The program's path as it was started (the first argument, without quotes).
std::string GetProgramPath();

// The executable's file name without extension ("pelkar"); the caption of untitled boxes.
std::string GetApplicationTitle();
