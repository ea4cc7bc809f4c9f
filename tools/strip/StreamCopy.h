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

// Where the file starts and where its first video frame is shown, in seconds as stored.
struct SSourceStart {
    double file = 0;
    double video = -1;  // negative when the recording shows no video
};

// Reads that from the listing (a framecrc of every stream).
SSourceStart ReadSourceStart(const std::string& listing);

// Lists the video packets of the few seconds before a range's start (seconds from the first
// video frame), with their times as stored and which are keyframes.
std::vector<std::string> KeyframesCommand(const std::string& ffmpeg, const std::string& source,
                                          const SSourceStart& start, double rangeStart);

// Where to seek, in seconds from the start of the file, so that a cut begins with the last
// keyframe of that listing shown at or before the range's start whose packet carries its
// presentation time; negative when it lists none. A piece that begins with a keyframe without
// one takes its time, once joined, from the end of the piece before it.
double KeyframeSeek(const std::string& listing, const SSourceStart& start, double rangeStart);

// Lists the packets of a piece's last seconds with their times as stored.
std::vector<std::string> LastPacketsCommand(const std::string& ffmpeg, const std::string& piece);

// Where the last packet of that listing ends, in seconds; negative when it lists none.
double LastPacketEnd(const std::string& listing);

// Cuts one range, whose times count from the first video frame, into the piece, whose times
// begin at outputStart. The seek (from KeyframeSeek, 0 for a range from the start) lies just
// before the keyframe's decoding time; packets before it are left out, so the piece starts with
// that keyframe and whole audio frames.
std::vector<std::string> CutCommand(const std::string& ffmpeg, const std::string& source,
                                    const SKeepRange& range, const SSourceStart& start, double seek,
                                    double outputStart, const std::string& piece);

// Joins pieces whose times follow one another (each begins after the last packet of the one
// before), so the join needs to renumber none.
std::vector<std::string> JoinCommand(const std::string& ffmpeg,
                                     const std::vector<std::string>& pieces,
                                     const std::string& output);
