#pragma once

#include <string>
#include <vector>

#include "BreakFinder.h"

// A run of comskip on a recording (the one the system finds by name, or the one named by
// PELKAR_COMSKIP) in a scratch folder of its own, which goes with the run.

struct SComskipResult {
    bool used = false;
    // What was found, or why nothing could be.
    std::string note;
    std::vector<SSpan> breaks;
    // Fades in the show that comskip took into a break, left out of it again.
    std::vector<SSpan> loneFades;
    // Set when this process was asked to stop while comskip ran: 128 + the signal.
    int stopStatus = 0;
};

SComskipResult DetectWithComskip(const std::string& recording);
