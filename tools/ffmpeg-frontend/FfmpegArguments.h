#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

// Translation of the classic FFMPEG command lines that PELKAR writes into the options of
// today's ffmpeg. Current builds know no encoder named "xvid", count bit rates in bit/s, need
// a rate-control buffer for -minrate/-maxrate and leave volume changes to the volume filter.

// Whether the installed ffmpeg offers an encoder of that name.
using EncoderQuery = std::function<bool(const std::string& encoder)>;

// The encoder names in the output of "ffmpeg -encoders": the second word of each listed line.
inline std::vector<std::string> ParseEncoderNames(const std::string& listing) {
    std::vector<std::string> names;
    std::istringstream lines(listing);
    std::string line;
    bool listed = false;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string capabilities, name;
        words >> capabilities >> name;
        // The legend above the dashed line uses the same layout, so it is skipped.
        if (capabilities.rfind("---", 0) == 0)
            listed = true;
        else if (listed && !name.empty())
            names.push_back(name);
    }
    return names;
}

// Old codec names mapped to today's encoder, with the generic codec name as the fallback
// when that encoder is not built in.
inline std::string ModernEncoder(const std::string& codec, const EncoderQuery& hasEncoder) {
    struct Mapping {
        const char* classic;
        const char* preferred;
        const char* fallback;
    };
    static const Mapping mappings[] = {{"xvid", "libxvid", "mpeg4"}, {"mp3", "libmp3lame", "mp3"}};
    for (const Mapping& mapping : mappings) {
        if (codec == mapping.classic)
            return hasEncoder(mapping.preferred) ? mapping.preferred : mapping.fallback;
    }
    return codec;
}

// A classic rate in kbit/s as today's rate text; a rate that already carries a unit is kept.
inline std::string KilobitRate(const std::string& value) {
    bool sawDigit = false, sawPoint = false;
    for (char c : value) {
        if (c >= '0' && c <= '9')
            sawDigit = true;
        else if (c == '.' && !sawPoint)
            sawPoint = true;
        else
            return value;
    }
    return sawDigit ? value + "k" : value;
}

// Where the two passes of one conversion keep their statistics: named after the program that
// asked for the conversion (PELKAR, whose process runs both passes) and the destination. Two
// conversions at once differ in one or the other, so they never share the file.
inline std::string PassLogPrefix(const std::string& directory, long parentId,
                                 const std::string& destination) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : destination) hash = (hash ^ c) * 1099511628211ull;
    char name[64];
    std::snprintf(name, sizeof name, "pelkar-ffmpeg-%ld-%016llx", parentId,
                  static_cast<unsigned long long>(hash));
    return directory + "/" + name;
}

// A file name that begins with "-" would be read as an option; "./" keeps it the same file.
inline std::string FileArgument(const std::string& name) {
    return !name.empty() && name[0] == '-' ? "./" + name : name;
}

// Appends today's form of one classic option with its value; false when the option is not
// one that changed (it then passes through as it is).
inline bool TranslateOption(const std::string& option, const std::string& value,
                            const EncoderQuery& hasEncoder, const std::string& passLogPrefix,
                            std::vector<std::string>& modern) {
    if (option == "-i") {
        // Taken as a pair so that an input path such as "-b" stays a path.
        modern.insert(modern.end(), {option, FileArgument(value)});
    } else if (option == "-vcodec") {
        modern.insert(modern.end(), {"-c:v", ModernEncoder(value, hasEncoder)});
    } else if (option == "-acodec") {
        modern.insert(modern.end(), {"-c:a", ModernEncoder(value, hasEncoder)});
    } else if (option == "-b") {
        modern.insert(modern.end(), {"-b:v", KilobitRate(value)});
    } else if (option == "-ab") {
        modern.insert(modern.end(), {"-b:a", KilobitRate(value)});
    } else if (option == "-minrate" || option == "-bt") {
        modern.insert(modern.end(), {option, KilobitRate(value)});
    } else if (option == "-maxrate") {
        // Rate limits need a rate-control buffer; one second at the highest rate. -bt keeps
        // its own meaning (the tolerance), as a buffer of 16 kbit would starve the encoder.
        modern.insert(modern.end(), {option, KilobitRate(value), "-bufsize", KilobitRate(value)});
    } else if (option == "-vol") {
        // The classic volume counted 256 as unchanged.
        modern.insert(modern.end(), {"-af", "volume=" + value + "/256"});
    } else if (option == "-pass") {
        modern.insert(modern.end(), {option, value, "-passlogfile", passLogPrefix});
    } else {
        return false;
    }
    return true;
}

// Today's ffmpeg arguments (without the program itself) for a classic command line that the
// parent process asked for. The destination is the last argument after the input, as in every
// command line PELKAR writes.
inline std::vector<std::string> TranslateArguments(const std::vector<std::string>& classic,
                                                   const EncoderQuery& hasEncoder,
                                                   const std::string& passLogDirectory,
                                                   long parentId) {
    const std::string passLogPrefix = PassLogPrefix(
        passLogDirectory, parentId, classic.empty() ? std::string() : classic.back());
    // The transcoder needs no keyboard; without this it would take over a terminal's input.
    std::vector<std::string> modern{"-nostdin"};
    bool sawInput = false;
    for (size_t i = 0; i < classic.size(); ++i) {
        if (i + 1 < classic.size() &&
            TranslateOption(classic[i], classic[i + 1], hasEncoder, passLogPrefix, modern)) {
            sawInput = sawInput || classic[i] == "-i";
            ++i;
        } else if (sawInput && i + 1 == classic.size()) {
            modern.push_back(FileArgument(classic[i]));
        } else {
            modern.push_back(classic[i]);
        }
    }
    return modern;
}
