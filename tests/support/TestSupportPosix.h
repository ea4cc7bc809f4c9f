#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

#include "TestSupport.h"

// Starts a program the way RunProgram does (no display, no session bus, standard input from
// /dev/null, the extra environment) with its standard output and error on the descriptors
// given, and returns at once with its process id.
pid_t StartProgram(const std::vector<std::string>& arguments,
                   const std::map<std::string, std::string>& environment, int outputFd,
                   int errorFd);
