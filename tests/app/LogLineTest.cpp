#include <gtest/gtest.h>

#include <clocale>
#include <ctime>
#include <string>

#include "app/LogLine.h"

namespace {

// 0 for Sunday (Sakamoto's method); unlike mktime, no time zone or daylight saving applies.
int Weekday(int year, int month, int day) {
    static const int kMonthOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) year -= 1;
    return (year + year / 4 - year / 100 + year / 400 + kMonthOffsets[month - 1] + day) % 7;
}

std::tm LocalTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    time.tm_wday = Weekday(year, month, day);
    return time;
}

std::string CLocaleStamp(const std::tm& time) {
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "%a %b %d %I:%M:%S %p %Y", &time);
    return stamp;
}

// Switches to the first installed locale with other day names, and back at the end.
class ForeignLocale {
public:
    ForeignLocale() {
        m_previous = std::setlocale(LC_ALL, nullptr);
        for (const char* name :
             {"de_DE.UTF-8", "fr_FR.UTF-8", "es_ES.UTF-8", "de_DE", "fr_FR", "German"}) {
            if (std::setlocale(LC_ALL, name)) {
                m_active = true;
                return;
            }
        }
    }
    ~ForeignLocale() { std::setlocale(LC_ALL, m_previous.c_str()); }
    bool IsActive() const { return m_active; }

private:
    std::string m_previous;
    bool m_active = false;
};

}  // namespace

class LogLineTest : public ::testing::Test {};

TEST_F(LogLineTest, BannerLineHasTimeStampProcessIdAndText) {
    EXPECT_EQ(
        FormatLogLine(LocalTime(2011, 3, 7, 13, 5, 9), 1234, "OnInitDialog(): Logging initialized"),
        "Mon Mar 07 01:05:09 PM 2011 <1234>: OnInitDialog(): Logging initialized\n");
}

TEST_F(LogLineTest, HalfPastNoonShowsTwelvePm) {
    EXPECT_EQ(FormatLogLine(LocalTime(2011, 3, 7, 12, 30, 0), 1, "x"),
              "Mon Mar 07 12:30:00 PM 2011 <1>: x\n");
}

TEST_F(LogLineTest, JustAfterMidnightShowsTwelveAm) {
    EXPECT_EQ(FormatLogLine(LocalTime(2011, 3, 7, 0, 0, 1), 1, "x"),
              "Mon Mar 07 12:00:01 AM 2011 <1>: x\n");
}

TEST_F(LogLineTest, LastMinutesOfMorningAndEveningKeepTheirHalfOfTheDay) {
    EXPECT_EQ(FormatLogLine(LocalTime(2011, 3, 7, 11, 59, 59), 1, ""),
              "Mon Mar 07 11:59:59 AM 2011 <1>: \n");
    EXPECT_EQ(FormatLogLine(LocalTime(2011, 3, 7, 23, 59, 59), 1, ""),
              "Mon Mar 07 11:59:59 PM 2011 <1>: \n");
}

TEST_F(LogLineTest, EmptyTextLeavesPrefixWithTrailingBlank) {
    EXPECT_EQ(FormatLogLine(LocalTime(2020, 12, 31, 9, 8, 7), 42, ""),
              "Thu Dec 31 09:08:07 AM 2020 <42>: \n");
}

TEST_F(LogLineTest, EmbeddedLineBreaksAreWrittenUnchangedAfterOnePrefix) {
    const std::string output = "frame=1\r\nframe=2\nDone.";
    EXPECT_EQ(FormatLogLine(LocalTime(2011, 3, 7, 13, 5, 9), 7, output),
              "Mon Mar 07 01:05:09 PM 2011 <7>: frame=1\r\nframe=2\nDone.\n");
}

TEST_F(LogLineTest, EveryDayMonthAndHourMatchesTheCLocaleStamp) {
    for (int month = 1; month <= 12; ++month) {
        for (int day = 1; day <= 7; ++day) {
            for (int hour = 0; hour < 24; ++hour) {
                const std::tm time = LocalTime(2023, month, day, hour, 7, 30);
                EXPECT_EQ(FormatLogLine(time, 99, "t"), CLocaleStamp(time) + " <99>: t\n");
            }
        }
    }
}

TEST_F(LogLineTest, NamesStayEnglishUnderAnotherLocale) {
    ForeignLocale locale;
    if (!locale.IsActive()) GTEST_SKIP() << "no non-English locale is installed";
    EXPECT_EQ(FormatLogLine(LocalTime(2011, 5, 3, 15, 0, 0), 5, "x"),
              "Tue May 03 03:00:00 PM 2011 <5>: x\n");
}
