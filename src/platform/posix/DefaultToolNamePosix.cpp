#include "platform/Platform.h"

// Today's ffmpeg no longer takes the classic options that FFMPEG is given, so its default is
// the front end that translates them, installed beside pelkar.
std::string DefaultToolName(const std::string& baseName) {
    return baseName == "ffmpeg" ? "pelkar-ffmpeg" : baseName;
}
