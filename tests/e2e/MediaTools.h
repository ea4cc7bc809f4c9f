#pragma once

#include <string>
#include <vector>

// Debian's ffmpeg and ffprobe as the end-to-end tests use them to make and inspect media.

// The program's full path from PATH, or the empty text when it is not installed.
std::string FindOnPath(const std::string& name);

// One line per stream of the file: codec and kind, then the picture size (video) or the
// sample rate and channels (audio), such as "mpeg4,video,320,240" or "mp3,audio,24000,2".
std::vector<std::string> ProbeStreams(const std::string& ffprobe, const std::string& file);
