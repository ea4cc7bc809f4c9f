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
    EXPECT_EQ(ReadProfileText(m_path, &text, &error), EProfileRead::Missing);
    EXPECT_EQ(text, "");
}

TEST_F(ProfileFileWin32Test, FolderInThePlaceOfTheProfileCannotBeReadAndIsNotReplaced) {
    ASSERT_TRUE(CreateDirectoryA(m_path.c_str(), nullptr));
    std::string text, error;
    EXPECT_EQ(ReadProfileText(m_path, &text, &error), EProfileRead::Failed);
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

namespace {

// The encodings that the ANSI profile functions convert: the text they would give (code page
// 1252), and the file after a save that adds a key.
struct EncodingCase {
    const char* name;
    std::string bytes;
    EProfileRead read;
    std::string text;
    std::string saved;
};

const std::string kUtf16Mark = "\xFF\xFE";
const std::string kUtf8Mark = "\xEF\xBB\xBF";
const std::string kAnsiText = "[PELKAR]\r\nk=C:\\Pr\xF6gramme\r\n";
const std::string kUtf8Text = "[PELKAR]\r\nk=C:\\Pr\xC3\xB6gramme\r\n";
const std::string kUtf16Text = kUtf16Mark + Utf16LeOfLatin1(kAnsiText);
const std::string kOutsideCodePage = kUtf8Mark + "[PELKAR]\r\nk=\xCE\xA9\r\n";
const std::string kUtf16BigEndian = "\xFE\xFF" + Utf16LeOfLatin1("[PELKAR]\r\n").substr(1) + '\0';

}  // namespace

class ProfileEncodingWin32Test : public ProfileFileWin32Test,
                                 public ::testing::WithParamInterface<EncodingCase> {};

TEST_P(ProfileEncodingWin32Test, FileIsReadAndSavedInItsOwnEncoding) {
    if (GetACP() != 1252) GTEST_SKIP() << "the rows are written for code page 1252";
    const EncodingCase& row = GetParam();
    WriteWholeFile(m_path, row.bytes);
    std::string text = "stale", error;
    EXPECT_EQ(ReadProfileText(m_path, &text, &error), row.read);
    EXPECT_EQ(text, row.text);
    const EProfileSave saved = UpdateProfileText(
        m_path, [](std::string current) { return SetIniValues(current, kSection, {{"j", "2"}}); });
    EXPECT_EQ(saved, row.read == EProfileRead::Read ? EProfileSave::Saved : EProfileSave::Failed);
    EXPECT_EQ(ReadWholeFile(m_path), row.saved);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, ProfileEncodingWin32Test,
    ::testing::Values(
        EncodingCase{"Utf8WithMark", kUtf8Mark + kUtf8Text, EProfileRead::Read, kAnsiText,
                     kUtf8Mark + kUtf8Text + "j=2\r\n"},
        EncodingCase{"Utf16LeWithMark", kUtf16Text, EProfileRead::Read, kAnsiText,
                     kUtf16Text + Utf16LeOfLatin1("j=2\r\n")},
        EncodingCase{"Utf8OutsideTheCodePage", kOutsideCodePage, EProfileRead::UnknownEncoding,
                     "", kOutsideCodePage},
        EncodingCase{"Utf16BigEndian", kUtf16BigEndian, EProfileRead::UnknownEncoding, "",
                     kUtf16BigEndian}),
    [](const ::testing::TestParamInfo<EncodingCase>& info) { return info.param.name; });
