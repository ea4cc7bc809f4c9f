#pragma once

#include <string>

// Where this run keeps its files, as the usage text names them.
struct SUsagePlaces {
    std::string program;      // the executable's name, as the user types it
    std::string profilePath;  // the profile file
    std::string loggingPath;  // the log file's setting, possibly relative
    bool logging = false;
};

// The text "--help" prints: what the program does, the host's command, the options, the exit
// statuses, and where the profile and the log live. Lines stay within 80 columns.
std::string UsageText(const SUsagePlaces& places);
