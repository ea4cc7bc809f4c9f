#include "app/UsageText.h"

#include <vector>

#include "model/DVAFlags.h"

namespace {

const std::size_t kLineWidth = 80;
const std::size_t kOptionColumn = 22;

// What each field option carries, in the fields' order.
const char* const kFieldMeanings[DVAFieldCount] = {
    "the downloaded recording, the file that is converted",
    "the recording's title",
    "its episode",
    "its start date",
    "its start time",
    "its duration",
    "its show id",
    "name of the first group of three",
    "category of the first group",
    "channel of the first group",
    "name of the second group of three",
    "category of the second group",
    "channel of the second group",
};

struct SSwitch {
    const char* option;
    const char* meaning;
};

const SSwitch kSwitches[] = {
    {"--gui", "open the window, even when other options are given"},
    {"--dry-run", "show what a recording would do without running anything"},
    {"--help", "show this text"},
    {"--version", "print the version and end"},
};

struct SExitStatus {
    const char* status;
    const char* meaning;
};

const SExitStatus kExitStatuses[] = {
    {"0", "done (also when no action matched the recording)"},
    {"1", "the matched action failed"},
    {"2", "unusable command line (--mpeg missing or empty)"},
    {"3", "--dry-run found no matching action"},
    {"128+N", "stopped by signal N"},
};

// "  option      meaning", the meaning starting in its own column.
std::string OptionLine(const std::string& option, const std::string& meaning) {
    std::string line = "  " + option;
    line.append(line.size() < kOptionColumn ? kOptionColumn - line.size() : 1, ' ');
    return line + meaning + "\n";
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

// Pieces joined with spaces, broken before a piece that would pass the line width; lines after
// the first are indented.
std::string Wrapped(const std::string& first, const std::string& indent,
                    const std::vector<std::string>& pieces) {
    std::string text, line = first;
    for (const std::string& piece : pieces) {
        if (line.size() + 1 + piece.size() > kLineWidth && line.size() > indent.size()) {
            text += line + "\n";
            line = indent;
        } else if (!line.empty() && line.back() != ' ') {
            line += ' ';
        }
        line += piece;
    }
    return text + line + "\n";
}

std::string Paragraph(const std::string& text) {
    return Wrapped("", "", Words(text));
}

// An option stays on one line with its placeholder.
std::string HostCommand(const std::string& program) {
    std::vector<std::string> pairs;
    for (int field = 0; field < DVAFieldCount; ++field) {
        const EDVAField entry = static_cast<EDVAField>(field);
        pairs.push_back(DVAFieldOption(entry) + " " + DVAFieldPlaceholder(entry));
    }
    return Wrapped("  " + program + " ", "      ", pairs);
}

std::string Options() {
    std::string text;
    for (int field = 0; field < DVAFieldCount; ++field) {
        const EDVAField entry = static_cast<EDVAField>(field);
        const std::string value = entry == FieldMpeg ? " PATH" : " TEXT";
        text += OptionLine(DVAFieldOption(entry) + value, kFieldMeanings[field]);
    }
    for (const SSwitch& item : kSwitches) text += OptionLine(item.option, item.meaning);
    return text;
}

std::string ExitStatuses() {
    std::string text;
    for (const SExitStatus& item : kExitStatuses) text += OptionLine(item.status, item.meaning);
    return text;
}

}  // namespace

std::string UsageText(const SUsagePlaces& places) {
    const std::string& program = places.program;
    return "Usage: " + program + " --mpeg PATH [--title TEXT ...] [--dry-run]\n" + "       " +
           program + " [--gui]\n" + "       " + program + " --help\n\n" +
           Paragraph(
               "Converts a television recording after the DVArchive host has downloaded it. "
               "The recording's fields are matched against the user's list of actions, in "
               "order; the first action whose filter matches converts the recording with "
               "FFMPEG to an mp3, or to a 320x240 mp4 in one or two passes, optionally after "
               "cutting the commercials with EVTDump and RTVEdit. Without arguments, or "
               "with --gui, it opens the window in which the actions and settings are "
               "edited.") +
           "\nThe host's post-download command:\n" + HostCommand(program) + "\nOptions:\n" +
           Options() + "\n" +
           Paragraph(
               "Options are found anywhere and in any letter case; a value runs up to the "
               "next option and may hold spaces.") +
           "\nExit status:\n" + ExitStatuses() + "\nFiles:\n" +
           OptionLine("profile", places.profilePath + " (section [PELKAR])") +
           OptionLine("log", places.loggingPath +
                                 (places.logging ? " (logging is on)" : " (logging is off)"));
}
