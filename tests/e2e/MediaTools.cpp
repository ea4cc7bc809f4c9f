#include "MediaTools.h"

#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "TestSupport.h"

std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::string candidate = folder + "/" + name;
        if (!folder.empty() && access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return std::string();
}

std::vector<std::string> ProbeStreams(const std::string& ffprobe, const std::string& file) {
    return SplitLines(RunProgram({ffprobe, "-v", "error", "-show_entries",
                                  "stream=codec_name,codec_type,width,height,sample_rate,channels",
                                  "-of", "csv=p=0", file})
                          .standardOutput);
}
