#include <gtest/gtest.h>

#include <string>

#include "processing/VideoProgress.h"

namespace {

const std::string kHead = "Action: News\nSource: /rec/show.mpg\n\nStatus: ";
// Enough text after a duration line for the whole of its reading window to be there.
const std::string kStreamLines =
    " bitrate: 6000 kb/s\n  Stream #0:0: Video: mpeg2video (Main), yuv420p, 720x480\n";

class VideoProgressTest : public ::testing::Test {
protected:
    // A progress whose source lasts 30 minutes: 53946 frames.
    CVideoProgress ThirtyMinuteProgress(int iPass = 0) {
        CVideoProgress progress("News", "/rec/show.mpg", iPass);
        progress.ReadDuration("  Duration: 00:30:00.0, start: 0.000000," + kStreamLines);
        return progress;
    }

    // The text of one update, or "(none)" when the piece of output brings none.
    std::string Update(CVideoProgress& progress, const std::string& piece, long long clock) {
        std::string status;
        return progress.ReadFrame(piece, clock, &status) ? status : "(none)";
    }

    // Three updates at the clock's start, so that the next one shows the remaining time.
    void ThreeUpdates(CVideoProgress& progress, int frame) {
        for (int i = 0; i < 3; ++i)
            Update(progress, "frame=" + std::to_string(frame) + " fps=30", 0);
    }
};

int TotalFramesOf(const std::string& output) {
    CVideoProgress progress("News", "/rec/show.mpg", 0);
    progress.ReadDuration(output);
    return progress.GetTotalFrames();
}

TEST_F(VideoProgressTest, ThirtyMinutesMake53946Frames) {
    EXPECT_EQ(TotalFramesOf("Duration: 00:30:00.0, start: 0.000000," + kStreamLines), 53946);
}

TEST_F(VideoProgressTest, StartOffsetIsAddedToTheDuration) {
    EXPECT_EQ(TotalFramesOf("Duration: 00:30:00.0, start: 1.500000," + kStreamLines), 53990);
}

TEST_F(VideoProgressTest, HoursMinutesAndFractionalSecondsAllCount) {
    // (3600 + 120 + 3.5) s x 29.97 = 111593.295
    EXPECT_EQ(TotalFramesOf("Duration: 01:02:03.5, start: 0.000000," + kStreamLines), 111593);
}

TEST_F(VideoProgressTest, ZeroDurationLeavesTheTotalUnknownForGood) {
    CVideoProgress progress("News", "/rec/show.mpg", 0);
    progress.ReadDuration("Duration: 00:00:00.0, start: 0.000000," + kStreamLines);

    EXPECT_FALSE(progress.HasTotalFrames());
    EXPECT_FALSE(progress.IsAwaitingDuration());
}

TEST_F(VideoProgressTest, UnavailableDurationIsNotReadAgainFromLaterOutput) {
    CVideoProgress progress("News", "/rec/show.mpg", 0);
    const std::string output = "Duration: N/A, start: 0.000000, bitrate: N/A" + kStreamLines;
    progress.ReadDuration(output);
    EXPECT_FALSE(progress.IsAwaitingDuration());

    progress.ReadDuration("Duration: 00:30:00.0, start: 0.000000," + kStreamLines);

    EXPECT_FALSE(progress.HasTotalFrames());
}

TEST_F(VideoProgressTest, OnlyTheFirstDurationCounts) {
    EXPECT_EQ(TotalFramesOf("Duration: 00:30:00.0, start: 0.000000," + kStreamLines +
                            "Duration: 01:00:00.0, start: 0.000000," + kStreamLines),
              53946);
}

TEST_F(VideoProgressTest, WithoutAnyDurationTheTotalIsAwaited) {
    CVideoProgress progress("News", "/rec/show.mpg", 0);
    progress.ReadDuration("Input #0, mpeg, from 'show.mpg':\n");

    EXPECT_TRUE(progress.IsAwaitingDuration());
    EXPECT_FALSE(progress.HasTotalFrames());
}

TEST_F(VideoProgressTest, DurationCutShortIsReadOnceTheRestArrives) {
    CVideoProgress progress("News", "/rec/show.mpg", 0);
    const std::string first = "Input #0, mpeg:\n  Duration: 00:30:00.0, start: 0.0";
    progress.ReadDuration(first);
    EXPECT_TRUE(progress.IsAwaitingDuration());

    progress.ReadDuration("00000, bitrate: 6000 kb/s\n");

    EXPECT_EQ(progress.GetTotalFrames(), 53946);
}

TEST_F(VideoProgressTest, KeywordSplitAcrossPiecesIsFound) {
    CVideoProgress progress("News", "/rec/show.mpg", 0);
    const std::string first = "Input #0, mpeg:\n  Durat";
    progress.ReadDuration(first);

    progress.ReadDuration("ion: 00:30:00.0, start: 0.000000," + kStreamLines);

    EXPECT_EQ(progress.GetTotalFrames(), 53946);
}

// Output is given a byte at a time, as the worst split of pieces would, after a long stretch
// without the key: the duration is still found, whatever the stretch's length.
TEST_F(VideoProgressTest, DurationAfterLongOutputGivenByteByByteIsFound) {
    CVideoProgress progress("News", "/rec/show.mpg", 0);
    progress.ReadDuration(std::string(1 << 20, 'x'));
    for (char c : "Durati" + std::string("on: 00:30:00.0, start: 0.000000,") + kStreamLines)
        progress.ReadDuration(std::string(1, c));

    EXPECT_EQ(progress.GetTotalFrames(), 53946);
}

TEST_F(VideoProgressTest, FirstThreeUpdatesShowOnlyThePercentage) {
    CVideoProgress progress = ThirtyMinuteProgress();

    EXPECT_EQ(Update(progress, "frame=  100 fps=30", 0), kHead + "0.2% complete");
    EXPECT_EQ(Update(progress, "frame=  200 fps=30", 1000), kHead + "0.4% complete");
    EXPECT_EQ(Update(progress, "frame=  300 fps=30", 2000), kHead + "0.6% complete");
}

TEST_F(VideoProgressTest, FourthUpdateAddsTheRemainingTime) {
    CVideoProgress progress = ThirtyMinuteProgress();
    ThreeUpdates(progress, 100);

    // 10 s for 5394 frames: 10 / 5394 x 48552 = 90.01 s left.
    EXPECT_EQ(Update(progress, "frame= 5394 fps=30", 10000),
              kHead + "10.0% complete\nRemaining: 01:30");
}

TEST_F(VideoProgressTest, SecondPassShowsPassAndRemainingTime) {
    CVideoProgress progress = ThirtyMinuteProgress(2);
    ThreeUpdates(progress, 100);

    EXPECT_EQ(Update(progress, "frame=17982 fps=150", 120000),
              kHead + "Pass 2, 33.3% complete\nRemaining: 04:00");
}

TEST_F(VideoProgressTest, SinglePassShowsNoPass) {
    CVideoProgress progress = ThirtyMinuteProgress(0);

    EXPECT_EQ(Update(progress, "frame=17982", 0), kHead + "33.3% complete");
}

TEST_F(VideoProgressTest, FirstPassShowsPassOne) {
    CVideoProgress progress = ThirtyMinuteProgress(1);

    EXPECT_EQ(Update(progress, "frame=17982", 0), kHead + "Pass 1, 33.3% complete");
}

TEST_F(VideoProgressTest, FrameBeyondTheTotalShowsFullPercentageAndNegativeTime) {
    CVideoProgress progress = ThirtyMinuteProgress();
    ThreeUpdates(progress, 100);

    // 10 s / 60000 x (53946 - 60000) = -1.009 s.
    EXPECT_EQ(Update(progress, "frame=60000", 10000),
              kHead + "100.0% complete\nRemaining: -1 seconds");
}

TEST_F(VideoProgressTest, TimeIsCountedFromTheFirstUpdate) {
    CVideoProgress progress = ThirtyMinuteProgress();
    Update(progress, "frame=100", 50000);
    Update(progress, "frame=200", 51000);
    Update(progress, "frame=300", 52000);

    // 10 s since the first update, for 5394 frames since the encoding began.
    EXPECT_EQ(Update(progress, "frame=5394", 60000), kHead + "10.0% complete\nRemaining: 01:30");
}

TEST_F(VideoProgressTest, FirstFrameOfAPieceIsUsed) {
    CVideoProgress progress = ThirtyMinuteProgress();

    EXPECT_EQ(Update(progress, "frame= 5394 fps=30\rframe=10788 fps=30\r", 0),
              kHead + "10.0% complete");
}

TEST_F(VideoProgressTest, PieceWithoutFrameBringsNoUpdate) {
    CVideoProgress progress = ThirtyMinuteProgress();

    EXPECT_EQ(Update(progress, "Press [q] to stop encoding\n", 0), "(none)");
}

TEST_F(VideoProgressTest, NumberInTheNextPieceReusesThePreviousNumber) {
    CVideoProgress progress = ThirtyMinuteProgress();
    Update(progress, "frame= 5394 fps=30", 0);

    EXPECT_EQ(Update(progress, "q=2.0 size=1024kB\rframe=", 1000), kHead + "10.0% complete");
    EXPECT_EQ(Update(progress, "10788 fps=30", 2000), "(none)");
}

TEST_F(VideoProgressTest, FrameWithoutNumberStillCountsAsAnUpdate) {
    CVideoProgress progress = ThirtyMinuteProgress();
    Update(progress, "frame=100", 0);
    Update(progress, "frame=", 0);
    Update(progress, "frame=300", 0);

    EXPECT_EQ(Update(progress, "frame=5394", 10000), kHead + "10.0% complete\nRemaining: 01:30");
}

TEST_F(VideoProgressTest, VeryFirstFrameWithoutNumberIsSkipped) {
    CVideoProgress progress = ThirtyMinuteProgress();

    EXPECT_EQ(Update(progress, "frame=", 0), "(none)");
    Update(progress, "frame=100", 20000);
    Update(progress, "frame=200", 21000);
    Update(progress, "frame=300", 22000);
    // Had the skipped piece counted, this would be the fifth update, timed from 0.
    EXPECT_EQ(Update(progress, "frame=5394", 30000), kHead + "10.0% complete\nRemaining: 01:30");
}

TEST_F(VideoProgressTest, FrameZeroShowsNoRemainingTime) {
    CVideoProgress progress = ThirtyMinuteProgress();
    ThreeUpdates(progress, 0);

    EXPECT_EQ(Update(progress, "frame=    0 fps=0.0", 5000), kHead + "0.0% complete");
}

TEST_F(VideoProgressTest, NoUpdateBeforeTheTotalIsKnown) {
    CVideoProgress progress("News", "/rec/show.mpg", 0);

    EXPECT_EQ(Update(progress, "frame=100", 0), "(none)");
}

TEST(RemainingTimeTest, UnderAMinuteShowsSeconds) {
    EXPECT_EQ(CVideoProgress::FormatRemainingTime(59), "59 seconds");
    EXPECT_EQ(CVideoProgress::FormatRemainingTime(0), "0 seconds");
}

TEST(RemainingTimeTest, UnderAnHourShowsMinutesAndSeconds) {
    EXPECT_EQ(CVideoProgress::FormatRemainingTime(125), "02:05");
}

TEST(RemainingTimeTest, HoursShowHoursMinutesAndSeconds) {
    EXPECT_EQ(CVideoProgress::FormatRemainingTime(3725), "01:02:05");
}

TEST(RemainingTimeTest, WholeDaysAreDroppedFromTheHours) {
    EXPECT_EQ(CVideoProgress::FormatRemainingTime(90000), "01:00:00");
}

TEST(RemainingTimeTest, NegativeTimeShowsNegativeSeconds) {
    EXPECT_EQ(CVideoProgress::FormatRemainingTime(-75), "-15 seconds");
}

}  // namespace
