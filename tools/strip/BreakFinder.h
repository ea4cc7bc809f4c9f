#pragma once

#include <vector>

#include "EventFile.h"

// Commercial breaks in an event file's records: moments where black and silence coincide,
// chained into a break while the gaps between them are the lengths of spots.

struct SSpan {
    double start = 0;
    double end = 0;
};

struct SBreak {
    SSpan span;
    int spots = 0;
};

struct SBreakFindings {
    std::vector<SBreak> breaks;
    // Coincidences that belong to no break, such as a fade to black inside the show.
    std::vector<SSpan> loneFades;
    // Chains of spot-length gaps that are too short or too long for a break.
    std::vector<SSpan> rejectedChains;
};

SBreakFindings FindBreaks(const std::vector<SEventRecord>& records);
