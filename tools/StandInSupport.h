#pragma once

// Shared by the test stand-ins: whole writes, and the record of how a stand-in was started
// (its arguments one per line, then any extra text, then an end line), appended to the file
// named by STANDIN_RECORD.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "system/ToolSystem.h"

inline const char* const kRecordEnd = "----- end -----";

// Writes the whole text at once, so a reader sees it as one piece where the pipe allows.
inline void WriteText(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

inline void AppendRecord(int argc, char** argv, const std::string& extra = std::string()) {
    const char* record = std::getenv("STANDIN_RECORD");
    if (!record || !*record) return;
    std::string text;
    for (int i = 0; i < argc; ++i) text += std::string(argv[i]) + "\n";
    text += extra + kRecordEnd + "\n";
    std::ofstream(record, std::ios::binary | std::ios::app) << text;
}
