#include "app/LogLine.h"

#include <cstdio>

namespace {

// The names come from tables, not strftime, so a log reads the same under every locale.
const char* const kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

template <std::size_t N>
const char* NameAt(const char* const (&names)[N], int index) {
    return (index >= 0 && static_cast<std::size_t>(index) < N) ? names[index] : "???";
}

int TwelveHourClock(int hour) {
    const int hour12 = hour % 12;
    return hour12 == 0 ? 12 : hour12;
}

}  // namespace

std::string FormatLogLine(const std::tm& localTime, int processId, const std::string& text) {
    char prefix[96];
    std::snprintf(prefix, sizeof prefix,
                  "%s %s %02d %02d:%02d:%02d %s %d <%d>: ", NameAt(kWeekdays, localTime.tm_wday),
                  NameAt(kMonths, localTime.tm_mon), localTime.tm_mday,
                  TwelveHourClock(localTime.tm_hour), localTime.tm_min, localTime.tm_sec,
                  localTime.tm_hour < 12 ? "AM" : "PM", localTime.tm_year + 1900, processId);
    std::string line = prefix;
    line.reserve(line.size() + text.size() + 1);
    line += text;
    line += '\n';
    return line;
}
