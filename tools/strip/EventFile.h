#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The recorder's event file (".evt"): the text "weas", a 4-byte version 1, then 24-byte
// records written while the picture is near black or the sound near silent. The byte order
// is not written down anywhere, so it is told from the data.

enum class EEventKind { Audio = 1, Video = 2 };

struct SEventRecord {
    double seconds = 0;  // since the start of the recording
    EEventKind kind = EEventKind::Video;
    // Audio: the power over the last audio interval; video: the average colour, R G B.
    std::uint32_t level = 0;
};

struct SEventFile {
    bool usable = false;
    // Why the file cannot be used, or what was noticed about a usable one.
    std::string note;
    bool bigEndian = false;
    std::vector<SEventRecord> records;
};

SEventFile ReadEventFile(const std::string& bytes);

// The file the recorder would write for these records.
std::string EncodeEventFile(const std::vector<SEventRecord>& records, bool bigEndian);
