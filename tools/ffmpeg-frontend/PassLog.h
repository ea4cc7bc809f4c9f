#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

// The statistics that pass 1 of a two-pass encoding leaves for pass 2. The transcoder writes
// them to files named after the prefix that -passlogfile gives ("<prefix>-0.log" and, with
// some encoders, files that add to that name).

struct SPassLog {
    int pass = 0;  // 0 for a single pass
    std::string prefix;
};

// The pass and the pass log that today's arguments name.
inline SPassLog FindPassLog(const std::vector<std::string>& modern) {
    SPassLog found;
    for (size_t i = 0; i + 3 < modern.size(); ++i) {
        if (modern[i] == "-pass" && modern[i + 2] == "-passlogfile") {
            found.pass = std::atoi(modern[i + 1].c_str());
            found.prefix = modern[i + 3];
        }
    }
    return found;
}

// After pass 2 nothing reads the log again, nor after a pass that failed, since the job
// starts again from pass 1.
inline bool PassLogIsDone(const SPassLog& log, int status) {
    return log.pass >= 2 || (log.pass == 1 && status != 0);
}

// Removes every file of the folder whose name begins with the prefix's name and a hyphen.
inline void RemovePassLog(const SPassLog& log) {
    const std::filesystem::path prefix(log.prefix);
    const std::string start = prefix.filename().string() + "-";
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (std::filesystem::directory_iterator entry(prefix.parent_path(), error), end;
         !error && entry != end; entry.increment(error)) {
        if (entry->path().filename().string().rfind(start, 0) == 0) files.push_back(entry->path());
    }
    for (const std::filesystem::path& file : files) std::filesystem::remove(file, error);
}
