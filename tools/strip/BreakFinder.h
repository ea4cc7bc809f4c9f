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

struct STrimmedBreak {
    SSpan span;
    // The moments left out at either end, now part of the show.
    std::vector<SSpan> loneFades;
};

// A break found by other means, given the moments of black and silence in time order: at
// either end, a moment that lies no spot length from the next one inward is a fade in the
// show that the break took in, so the break is cut back past it, to the middle of the next
// moment. A break with no spot-length gap between its moments stays as found.
STrimmedBreak TrimLoneFades(const SSpan& found, const std::vector<SSpan>& moments);
