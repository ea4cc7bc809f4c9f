#pragma once

#include <string>

// What a run needs of the settings: the three tools and the folder of the stripped copy.
struct SToolSettings {
    std::string rtvEditPath;
    std::string evtDumpPath;
    std::string ffmpegPath;
    std::string tempPath;
};
