#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "app/IniText.h"
#include "platform/ProfileFile.h"

// The profile's Windows back end: whole replacements under a lock, lines in CR LF.

namespace {

const char* const kSection = "PELKAR";
const int kUpdaters = 6;
const int kUpdatesEach = 25;

std::set<std::string> FileNamesIn(const std::string& directory) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

int CounterValue(const std::string& text, int updater) {
    std::string value;
    return FindIniValue(text, kSection, "counter" + std::to_string(updater), &value)
               ? std::stoi(value)
               : 0;
}

bool IsWholeProfile(const std::string& text) {
    return text.empty() || (text.rfind("[PELKAR]\r\n", 0) == 0 && text.size() >= 2 &&
                            text.compare(text.size() - 2, 2, "\r\n") == 0);
}

}  // namespace

class ProfileFileWin32Test : public ::testing::Test {
protected:
    TempDir m_dir;
    std::string m_path = m_dir.File("PELKAR.INI");
};

TEST_F(ProfileFileWin32Test, NewProfileIsWrittenWithCarriageReturnLineFeeds) {
    ASSERT_EQ(
        EProfileSave::Saved, UpdateProfileText(m_path, [](std::string current) {
            return SetIniValues(current, kSection, {{"logging", "1"}, {"tempPath", "C:\\TEMP\\"}});
        }));
    EXPECT_EQ(ReadWholeFile(m_path), "[PELKAR]\r\nlogging=1\r\ntempPath=C:\\TEMP\\\r\n");
}

TEST_F(ProfileFileWin32Test, LinesThatAlreadyEndInCarriageReturnLineFeedKeepOne) {
    WriteWholeFile(m_path, "[PELKAR]\r\nk=1\r\n");
    std::string seen;
    ASSERT_EQ(EProfileSave::Saved, UpdateProfileText(m_path, [&](std::string current) {
                  seen = current;
                  return current + "j=2\n";
              }));
    EXPECT_EQ(seen, "[PELKAR]\r\nk=1\r\n");
    EXPECT_EQ(ReadWholeFile(m_path), "[PELKAR]\r\nk=1\r\nj=2\r\n");
}

TEST_F(ProfileFileWin32Test, MissingFileReadsAsEmpty) {
    std::string text = "stale", error;
    EXPECT_TRUE(ReadProfileText(m_path, &text, &error));
    EXPECT_EQ(text, "");
}

TEST_F(ProfileFileWin32Test, FolderInThePlaceOfTheProfileCannotBeReadAndIsNotReplaced) {
    ASSERT_TRUE(CreateDirectoryA(m_path.c_str(), nullptr));
    std::string text, error;
    EXPECT_FALSE(ReadProfileText(m_path, &text, &error));
    EXPECT_NE(error, "");
    EXPECT_EQ(EProfileSave::Failed, UpdateProfileText(m_path, [](std::string) { return "x\n"; }));
}

TEST_F(ProfileFileWin32Test, SaveFileLeftByAKilledSaveIsTakenOver) {
    WriteWholeFile(m_path + ".save", "[PELKAR]\r\nhalf");
    ASSERT_EQ(EProfileSave::Saved, UpdateProfileText(m_path, [](std::string) { return "a\n"; }));
    EXPECT_EQ(FileNamesIn(m_dir.Path()), std::set<std::string>{"PELKAR.INI"});
    EXPECT_EQ(ReadWholeFile(m_path), "a\r\n");
}

TEST_F(ProfileFileWin32Test, UpdatesLeaveNoFileButTheProfile) {
    ASSERT_EQ(EProfileSave::Saved, UpdateProfileText(m_path, [](std::string) { return "a\n"; }));
    ASSERT_EQ(EProfileSave::Saved,
              UpdateProfileText(m_path, [](std::string t) { return t + "b\n"; }));
    EXPECT_EQ(FileNamesIn(m_dir.Path()), std::set<std::string>{"PELKAR.INI"});
}

// Another program may have the file open for a moment (and under Wine an open file cannot be
// replaced at all): the save waits for it instead of failing.
TEST_F(ProfileFileWin32Test, ProfileThatAnotherProgramReadsForAMomentIsReplacedAfterwards) {
    WriteWholeFile(m_path, "old\r\n");
    const HANDLE reader =
        CreateFileA(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    std::thread closer([reader] {
        Sleep(200);
        CloseHandle(reader);
    });
    EXPECT_EQ(EProfileSave::Saved, UpdateProfileText(m_path, [](std::string) { return "new\n"; }));
    closer.join();
    EXPECT_EQ(ReadWholeFile(m_path), "new\r\n");
}

TEST_F(ProfileFileWin32Test, ProfileThatCannotBeReadIsNeverReplaced) {
    WriteWholeFile(m_path, "[PELKAR]\r\nprecious=1\r\n");
    const HANDLE holder =
        CreateFileA(m_path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    bool called = false;
    EXPECT_EQ(EProfileSave::Failed, UpdateProfileText(m_path, [&](std::string) {
                  called = true;
                  return "[PELKAR]\r\n";
              }));
    CloseHandle(holder);
    EXPECT_FALSE(called);
    EXPECT_EQ(ReadWholeFile(m_path), "[PELKAR]\r\nprecious=1\r\n");
}

TEST_F(ProfileFileWin32Test, ConcurrentUpdatersLoseNoUpdateAndNeverTearTheFile) {
    std::vector<int> failures(kUpdaters, 0);
    std::vector<std::thread> updaters;
    for (int updater = 0; updater < kUpdaters; ++updater) {
        updaters.emplace_back([&, updater] {
            const std::string padding(2000, static_cast<char>('a' + updater));
            for (int i = 0; i < kUpdatesEach; ++i) {
                const EProfileSave saved = UpdateProfileText(m_path, [&](std::string current) {
                    if (!IsWholeProfile(current)) ++failures[updater];
                    const int next = CounterValue(current, updater) + 1;
                    return SetIniValues(
                        current, kSection,
                        {{"counter" + std::to_string(updater), std::to_string(next)},
                         {"padding" + std::to_string(updater), padding}});
                });
                if (saved != EProfileSave::Saved) ++failures[updater];
            }
        });
    }
    for (std::thread& updater : updaters) updater.join();
    const std::string text = ReadWholeFile(m_path);
    EXPECT_TRUE(IsWholeProfile(text));
    for (int updater = 0; updater < kUpdaters; ++updater) {
        EXPECT_EQ(failures[updater], 0) << "updater " << updater;
        EXPECT_EQ(CounterValue(text, updater), kUpdatesEach) << "updater " << updater;
    }
}
