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

// Where a cut begins: at the last keyframe of that listing shown by the range's start (within
// half a frame, the script's precision).
// Only some of the packets carry their presentation time, about every other keyframe among
// them; after a seek to one without, the demuxer cannot tell the times of the packets that
// follow. So the input seek goes to the last keyframe or forward-predicted frame before it that
// carries one, and the cut skips from there to the keyframe.
struct SCutStart {
    double seek = -1;  // seconds from the start of the file; negative when the listing shows none
    double skip = 0;   // seconds after the seek
    // A piece that begins with a keyframe without a presentation time would take its time, once
    // joined, from the end of the piece before it; the cut gives it one, this many ticks as
    // stored after its decoding time, as the frame sought to shows. 0 when it carries one.
    long long presentationDelay = 0;
};

SCutStart KeyframeSeek(const std::string& listing, const SSourceStart& start, double rangeStart);

// Lists the packets of a piece's last seconds with their times as stored.
std::vector<std::string> LastPacketsCommand(const std::string& ffmpeg, const std::string& piece);

// Where the last packet of that listing ends, in seconds; negative when it lists none.
double LastPacketEnd(const std::string& listing);

// Cuts one range, whose times count from the first video frame, into the piece, whose times
// begin at outputStart. The seek and the skip after it (from KeyframeSeek, both 0 for a range
// from the start) end just before the keyframe's decoding time; packets before that are left
// out, so the piece starts with that keyframe and whole audio frames.
std::vector<std::string> CutCommand(const std::string& ffmpeg, const std::string& source,
                                    const SKeepRange& range, const SSourceStart& start,
                                    const SCutStart& cut, double outputStart,
                                    const std::string& piece);

// Joins pieces whose times follow one another (each begins after the last packet of the one
// before), so the join needs to renumber none.
std::vector<std::string> JoinCommand(const std::string& ffmpeg,
                                     const std::vector<std::string>& pieces,
                                     const std::string& output);
