#pragma once

// Shared by the test stand-ins: whole writes, and the record of how a stand-in was started
// (its arguments one per line, then any extra text, then an end line), appended to the file
// named by STANDIN_RECORD.

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

inline const char* const kRecordEnd = "----- end -----";

inline void WriteText(int fd, const std::string& text) {
    std::string::size_type written = 0;
    while (written < text.size()) {
        const ssize_t count = write(fd, text.data() + written, text.size() - written);
        if (count <= 0) return;
        written += static_cast<std::string::size_type>(count);
    }
}

inline void AppendRecord(int argc, char** argv, const std::string& extra = std::string()) {
    const char* record = std::getenv("STANDIN_RECORD");
    if (!record || !*record) return;
    std::string text;
    for (int i = 0; i < argc; ++i) text += std::string(argv[i]) + "\n";
    text += extra + kRecordEnd + "\n";
    const int fd = open(record, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    WriteText(fd, text);
    close(fd);
}
