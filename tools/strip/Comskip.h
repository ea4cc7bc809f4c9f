#pragma once

#include <string>
#include <vector>

#include "BreakFinder.h"

// Detection of breaks with comskip, for a recording without a usable event file: black
// frames and silence only, an EDL as the result.

// comskip's settings: those two methods, an EDL, the plain cut list (whose first line gives
// the recording's length) and the table of frames, and no show piece folded into a break for
// being short.
std::string ComskipSettings();

// comskip's command line for the recording, with the settings file and the folder that
// receives its results.
std::vector<std::string> ComskipCommand(const std::string& comskip, const std::string& settings,
                                        const std::string& resultFolder,
                                        const std::string& recording);

// comskip's exit status when it found no commercials.
const int kComskipFoundNone = 1;

// The commercial spans of an EDL ("start end action" a line, seconds), in time order.
std::vector<SSpan> ParseEdl(const std::string& edl);

// The stretches of black frames with silence in them in comskip's table of frames (a CSV file
// with a row of column names, a row a frame), in time order, each to the start of the frame
// after. comskip itself cuts in the middle of the black.
std::vector<SSpan> ParseQuietBlackStretches(const std::string& frameTable);

// The recording's length from the first line of the plain cut list
// ("FILE PROCESSING COMPLETE 53946 FRAMES AT 2997"); negative when it does not say.
double CutListSeconds(const std::string& cutList);
