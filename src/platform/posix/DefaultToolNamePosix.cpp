#include "platform/Paths.h"

// Today's ffmpeg no longer takes the classic options that FFMPEG is given, and EVTDump and
// RTVEdit are Windows tools no Linux user has: the defaults are the programs that PELKAR
// ships in their place, installed beside pelkar.
std::string DefaultToolName(const std::string& baseName) {
    if (baseName == "ffmpeg" || baseName == "evtdump" || baseName == "rtvedit")
        return "pelkar-" + baseName;
    return baseName;
}
