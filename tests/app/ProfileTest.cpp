#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "app/Profile.h"

class ProfileTest : public ::testing::Test {
protected:
    std::string ProfileWith(const std::string& text) {
        WriteWholeFile(m_path, text);
        return m_path;
    }

    TempDir m_dir;
    std::string m_path = m_dir.File("pelkar.ini");
};

TEST_F(ProfileTest, MissingFileGivesDefaults) {
    CProfile profile(m_path);
    EXPECT_EQ(profile.GetProfileString("PELKAR", "ffmpegPath", "ffmpeg"), "ffmpeg");
    EXPECT_EQ(profile.GetProfileInt("PELKAR", "logging", 7), 7);
}

TEST_F(ProfileTest, PresentEmptyValueIsNotReplacedByDefault) {
    CProfile profile(ProfileWith("[PELKAR]\nloggingPath=\n"));
    EXPECT_EQ(profile.GetProfileString("PELKAR", "loggingPath", "pelkar.log"), "");
}

TEST_F(ProfileTest, IntegerReadsLeadingSignedDigits) {
    CProfile profile(ProfileWith("[PELKAR]\none=1\nnegative= -12xyz\nplus=+5\nbig=2147483648\n"));
    EXPECT_EQ(profile.GetProfileInt("PELKAR", "one", 0), 1);
    EXPECT_EQ(profile.GetProfileInt("PELKAR", "negative", 0), -12);
    EXPECT_EQ(profile.GetProfileInt("PELKAR", "plus", 0), 5);
    EXPECT_NE(profile.GetProfileInt("PELKAR", "big", 0), 0);
}

TEST_F(ProfileTest, IntegerThatIsNotANumberReadsAsZero) {
    CProfile profile(ProfileWith("[PELKAR]\nword=yes\nempty=\n"));
    EXPECT_EQ(profile.GetProfileInt("PELKAR", "word", 3), 0);
    EXPECT_EQ(profile.GetProfileInt("PELKAR", "empty", 3), 0);
    EXPECT_EQ(profile.GetProfileInt("PELKAR", "missing", 3), 3);
}

TEST_F(ProfileTest, ReadsShowLoadedTextUntilCommit) {
    CProfile profile(ProfileWith("[PELKAR]\nk=old\n"));
    profile.WriteProfileString("PELKAR", "k", "new");
    EXPECT_EQ(profile.GetProfileString("PELKAR", "k", ""), "old");
    EXPECT_EQ(ReadWholeFile(m_path), "[PELKAR]\nk=old\n");
    ASSERT_EQ(profile.Commit(), EProfileSave::Saved);
    EXPECT_EQ(profile.GetProfileString("PELKAR", "k", ""), "new");
    EXPECT_EQ(ReadWholeFile(m_path), SystemText("[PELKAR]\nk=new\n"));
}

TEST_F(ProfileTest, CommitCreatesFileWithEveryWriteInOrder) {
    CProfile profile(m_path);
    profile.WriteProfileString("PELKAR", "action00", "a");
    profile.WriteProfileInt("PELKAR", "logging", -3);
    profile.WriteProfileString("Other", "x", "y");
    profile.WriteProfileString("pelkar", "tempPath", "/tmp/");
    ASSERT_EQ(profile.Commit(), EProfileSave::Saved);
    EXPECT_EQ(ReadWholeFile(m_path),
              SystemText("[PELKAR]\naction00=a\nlogging=-3\ntempPath=/tmp/\n\n[Other]\nx=y\n"));
}

TEST_F(ProfileTest, CommitKeepsChangesAnotherInstanceSavedMeanwhile) {
    CProfile first(ProfileWith("[PELKAR]\na=1\n"));
    CProfile second(m_path);
    second.WriteProfileString("PELKAR", "b", "2");
    ASSERT_EQ(second.Commit(), EProfileSave::Saved);
    first.WriteProfileString("PELKAR", "a", "3");
    ASSERT_EQ(first.Commit(), EProfileSave::Saved);
    EXPECT_EQ(ReadWholeFile(m_path), SystemText("[PELKAR]\na=3\nb=2\n"));
}

TEST_F(ProfileTest, CommitWithoutWritesLeavesNoFile) {
    CProfile profile(m_path);
    EXPECT_EQ(profile.Commit(), EProfileSave::Saved);
    EXPECT_FALSE(FileExists(m_path));
}

TEST_F(ProfileTest, CommitReportsFileThatCannotBeWritten) {
    WriteWholeFile(m_dir.File("plain"), "");
    CProfile profile(m_dir.File("plain/sub/pelkar.ini"));
    profile.WriteProfileString("PELKAR", "k", "v");
    EXPECT_EQ(profile.Commit(), EProfileSave::Failed);
}
