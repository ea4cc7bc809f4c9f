#pragma once

#include <string>
#include <vector>

#include "EditScript.h"

// The ffmpeg command lines that write a stripped copy without re-encoding: each kept range
// cut by an input seek into a program stream of its own, the pieces joined by the concat
// protocol. Every one has -nostdin, since the edit script arrives on the standard input they
// would otherwise share.

// Lists the packets of the recording's first seconds with their times as stored.
std::vector<std::string> FirstPacketsCommand(const std::string& ffmpeg, const std::string& source);

// How far the first video frame lies behind the start of the file, from that listing (a
// framecrc of every stream); negative when the listing shows no video.
double FirstVideoOffset(const std::string& listing);

// Lists the packets of a piece's last seconds with their times as stored.
std::vector<std::string> LastPacketsCommand(const std::string& ffmpeg, const std::string& piece);

// Where the last packet of that listing ends, in seconds; negative when it lists none.
double LastPacketEnd(const std::string& listing);

// Cuts one range, whose times count from the first video frame, into the piece, whose times
// begin at outputStart. The seek counts from the start of the file and starts early, since a
// seek lands after an I-frame whose packet carries no time; packets before the seek point are
// left out, so each piece starts with whole audio frames and an I-frame.
std::vector<std::string> CutCommand(const std::string& ffmpeg, const std::string& source,
                                    const SKeepRange& range, double videoOffset, double outputStart,
                                    const std::string& piece);

// Joins pieces whose times follow one another (each begins after the last packet of the one
// before), so the join needs to renumber none.
std::vector<std::string> JoinCommand(const std::string& ffmpeg,
                                     const std::vector<std::string>& pieces,
                                     const std::string& output);
