#pragma once

#include <istream>
#include <string>
#include <vector>

#include "BreakFinder.h"

// The text pelkar-evtdump prints and pelkar-rtvedit reads, one directive a line, times in
// seconds from the recording's first video frame with a "." for the decimal point:
//   pelkar-edit 1
//   source /rec/show.mpg
//   # comment: how the breaks were found and what was found
//   keep 0.000 612.345
//   keep 702.100 -          "-": to the end of the recording
//   end
// RTVEdit's input puts the line "T<output path>" before it.

struct SKeepRange {
    double start = 0;
    double end = 0;
    bool toEnd = false;
};

struct SEditScript {
    std::string source;
    std::vector<std::string> comments;
    std::vector<SKeepRange> keep;
};

struct SEditRequest {
    std::string output;
    SEditScript script;
};

std::string FormatEditScript(const SEditScript& script);

// The show around the breaks, which are in time order.
std::vector<SKeepRange> KeepRangesOutside(const std::vector<SSpan>& breaks);

// Reads the "T" line and the script up to its end line, and no further. False, with a
// one-line reason, when the input is not one that can be carried out.
bool ReadEditRequest(std::istream& input, SEditRequest* request, std::string* reason);

// Seconds with three decimals and a ".", whatever the locale.
std::string FormatSeconds(double seconds);
