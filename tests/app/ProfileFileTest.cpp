#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/IniText.h"
#include "platform/ProfileFile.h"

namespace {

std::set<std::string> FileNamesIn(const std::string& directory) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

const char* const kSection = "PELKAR";
const EProfileSave Saved = EProfileSave::Saved;

std::string ReadProfile(const std::string& path) {
    std::string text, error;
    const EProfileRead read = ReadProfileText(path, &text, &error);
    EXPECT_TRUE(read == EProfileRead::Read || read == EProfileRead::Missing) << error;
    return text;
}
const int kChildren = 8;
const int kUpdatesPerChild = 30;

std::string CounterKey(int child) {
    return "child" + std::to_string(child);
}

int CounterValue(const std::string& text, int child) {
    std::string value;
    return FindIniValue(text, kSection, CounterKey(child), &value) ? std::stoi(value) : 0;
}

// A whole profile as the updaters write it: the section header first, a line end last.
bool IsWholeProfile(const std::string& text) {
    return text.empty() || (text.rfind("[PELKAR]\n", 0) == 0 && text.back() == '\n');
}

// Each update reads the child's counter from the file and writes it back one higher, so a
// lost update shows as a counter short of the number of updates.
int RunUpdater(const std::string& path, int child) {
    const std::string padding(2000, static_cast<char>('a' + child));
    bool sawTornFile = false;
    for (int i = 0; i < kUpdatesPerChild; ++i) {
        const bool replaced = Saved == UpdateProfileText(path, [&](const std::string& current) {
            sawTornFile = sawTornFile || !IsWholeProfile(current);
            const std::string next = std::to_string(CounterValue(current, child) + 1);
            return SetIniValues(
                current, kSection,
                {{CounterKey(child), next}, {"padding" + CounterKey(child), padding}});
        });
        if (!replaced) return 1;
    }
    return sawTornFile ? 2 : 0;
}

}  // namespace

class ProfileFileTest : public ::testing::Test {
protected:
    TempDir m_dir;
    std::string m_path = m_dir.File("pelkar.ini");
};

TEST_F(ProfileFileTest, MissingFileReadsAsEmpty) {
    EXPECT_EQ(ReadProfile(m_path), "");
}

// What may stand where the profile should be, made by a shell command on PATH, and the reason a
// read gives for it.
struct UnreadableCase {
    const char* name;
    std::string make;  // run with the profile's path as $0
    std::string reason;
};

void PrintTo(const UnreadableCase& row, std::ostream* out) {
    *out << row.name;
}

const UnreadableCase kUnreadableCases[] = {
    {"Folder", "mkdir \"$0\"", "Is a directory"},
    {"Fifo", "mkfifo \"$0\"", "Not a regular file"},
    {"LinkToDevZero", "ln -s /dev/zero \"$0\"", "Not a regular file"},
    {"SparseFileOf60Gb", "truncate -s 60G \"$0\"", "File too large"},
};

class UnreadableProfileTest : public ProfileFileTest,
                              public ::testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableProfileTest, IsUnreadableAndNeverReplaced) {
    ASSERT_EQ(RunProgram({"/bin/sh", "-c", GetParam().make, m_path}).exitStatus, 0);
    struct stat before {};
    lstat(m_path.c_str(), &before);
    std::string text, error;
    EXPECT_EQ(ReadProfileText(m_path, &text, &error), EProfileRead::Failed);
    EXPECT_EQ(error, GetParam().reason);
    EXPECT_EQ(UpdateProfileText(m_path, [](const std::string&) { return "x\n"; }),
              EProfileSave::Failed);
    struct stat after {};
    lstat(m_path.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    // A regular profile has its lock file beside it; nothing else does.
    if (!std::filesystem::is_regular_file(m_path)) {
        EXPECT_FALSE(FileExists(std::filesystem::canonical(m_path).string() + ".lock"));
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, UnreadableProfileTest, ::testing::ValuesIn(kUnreadableCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProfileFileTest, TemporaryFilesOfAKilledSaveAreRemovedByTheNextSave) {
    WriteWholeFile(m_dir.File("pelkar.ini.saving-Ab3XyZ"), "half a save");
    WriteWholeFile(m_dir.File("pelkar.ini.backup"), "the user's own");

    ASSERT_EQ(UpdateProfileText(m_path, [](const std::string&) { return "a\n"; }), Saved);

    EXPECT_EQ(FileNamesIn(m_dir.Path()), (std::set<std::string>{"pelkar.ini", "pelkar.ini.backup",
                                                                "pelkar.ini.lock"}));
}

TEST_F(ProfileFileTest, UpdateSeesCurrentTextAndStoresResult) {
    WriteWholeFile(m_path, "[PELKAR]\r\nk=1\r\n");
    std::string seen;
    ASSERT_EQ(UpdateProfileText(m_path, [&](const std::string& current) {
        seen = current;
        return current + "j=2\r\n";
    }), Saved);
    EXPECT_EQ(seen, "[PELKAR]\r\nk=1\r\n");
    EXPECT_EQ(ReadProfile(m_path), "[PELKAR]\r\nk=1\r\nj=2\r\n");
}

TEST_F(ProfileFileTest, UpdateCreatesMissingFolders) {
    const std::string path = m_dir.File("config/deeper/pelkar.ini");
    ASSERT_EQ(UpdateProfileText(path, [](const std::string&) { return "[PELKAR]\n"; }), Saved);
    EXPECT_EQ(ReadWholeFile(path), "[PELKAR]\n");
}

TEST_F(ProfileFileTest, UpdateLeavesOnlyProfileAndLockFile) {
    ASSERT_EQ(UpdateProfileText(m_path, [](const std::string&) { return "a\n"; }), Saved);
    ASSERT_EQ(UpdateProfileText(m_path, [](const std::string& t) { return t + "b\n"; }), Saved);
    EXPECT_EQ(FileNamesIn(m_dir.Path()), (std::set<std::string>{"pelkar.ini", "pelkar.ini.lock"}));
}

TEST_F(ProfileFileTest, UpdateKeepsPermissionsOfReplacedFile) {
    WriteWholeFile(m_path, "old\n");
    ASSERT_EQ(chmod(m_path.c_str(), 0640), 0);
    ASSERT_EQ(UpdateProfileText(m_path, [](const std::string&) { return "new\n"; }), Saved);
    struct stat status {};
    ASSERT_EQ(stat(m_path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
}

TEST_F(ProfileFileTest, UpdateFailsWhenFolderCannotBeMade) {
    WriteWholeFile(m_dir.File("plain"), "");
    bool called = false;
    EXPECT_EQ(UpdateProfileText(m_dir.File("plain/pelkar.ini"), [&](const std::string&) {
        called = true;
        return "x\n";
    }), EProfileSave::Failed);
    EXPECT_FALSE(called);
}

TEST_F(ProfileFileTest, UnreadableProfileIsNeverReplaced) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    WriteWholeFile(m_path, "[PELKAR]\nprecious=1\n");
    ASSERT_EQ(chmod(m_path.c_str(), 0200), 0);
    EXPECT_EQ(UpdateProfileText(m_path, [](const std::string&) { return "[PELKAR]\n"; }),
              EProfileSave::Failed);
    ASSERT_EQ(chmod(m_path.c_str(), 0600), 0);
    EXPECT_EQ(ReadWholeFile(m_path), "[PELKAR]\nprecious=1\n");
}

TEST_F(ProfileFileTest, ConcurrentUpdatersLoseNoUpdateAndNeverTearTheFile) {
    std::vector<pid_t> children;
    for (int child = 0; child < kChildren; ++child) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) _exit(RunUpdater(m_path, child));
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "1: an update failed, 2: a torn file was seen";
    }
    const std::string text = ReadProfile(m_path);
    EXPECT_TRUE(IsWholeProfile(text));
    for (int child = 0; child < kChildren; ++child) {
        EXPECT_EQ(CounterValue(text, child), kUpdatesPerChild) << "child " << child;
    }
}

namespace {

// Each encoding a profile may come in: what reading gives, and what the file is after a save
// that adds a key.
struct EncodingCase {
    const char* name;
    std::string bytes;
    EProfileRead read;
    std::string text;
    std::string saved;
};

const std::string kUtf16Mark = "\xFF\xFE";
const std::string kUtf8Mark = "\xEF\xBB\xBF";
const std::string kUtf8Text = "[PELKAR]\r\nk=C:\\Pr\xC3\xB6gramme\r\n";
const std::string kUtf8Saved = kUtf8Text + "j=2\r\n";
const std::string kUtf16Text =
    kUtf16Mark + Utf16LeOfLatin1("[PELKAR]\r\nk=C:\\Pr\xF6gramme\r\n");
const std::string kUtf16Saved = kUtf16Text + Utf16LeOfLatin1("j=2\r\n");
const std::string kUtf16WithoutMark = Utf16LeOfLatin1("[PELKAR]\nk=1\n");
const std::string kUtf16BigEndian = "\xFE\xFF" + kUtf16WithoutMark.substr(1) + '\0';
const std::string kLoneSurrogate =
    kUtf16Mark + Utf16LeOfLatin1("[PELKAR]\nk=") + std::string("\x00\xD8", 2);

}  // namespace

class ProfileEncodingTest : public ProfileFileTest,
                            public ::testing::WithParamInterface<EncodingCase> {};

TEST_P(ProfileEncodingTest, FileIsReadAndSavedInItsOwnEncoding) {
    const EncodingCase& row = GetParam();
    WriteWholeFile(m_path, row.bytes);
    std::string text = "stale", error;
    EXPECT_EQ(ReadProfileText(m_path, &text, &error), row.read);
    EXPECT_EQ(text, row.text);
    const EProfileSave saved = UpdateProfileText(
        m_path, [](std::string current) { return SetIniValues(current, kSection, {{"j", "2"}}); });
    EXPECT_EQ(saved, row.read == EProfileRead::Read ? Saved : EProfileSave::Failed);
    EXPECT_EQ(ReadWholeFile(m_path), row.saved);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, ProfileEncodingTest,
    ::testing::Values(
        EncodingCase{"Plain", kUtf8Text, EProfileRead::Read, kUtf8Text, kUtf8Saved},
        EncodingCase{"Utf8WithMark", kUtf8Mark + kUtf8Text, EProfileRead::Read, kUtf8Text,
                     kUtf8Mark + kUtf8Saved},
        EncodingCase{"Utf16LeWithMark", kUtf16Text, EProfileRead::Read, kUtf8Text, kUtf16Saved},
        EncodingCase{"Utf16BigEndian", kUtf16BigEndian, EProfileRead::UnknownEncoding, "",
                     kUtf16BigEndian},
        EncodingCase{"Utf16WithoutMark", kUtf16WithoutMark, EProfileRead::UnknownEncoding, "",
                     kUtf16WithoutMark},
        EncodingCase{"Utf16LoneSurrogate", kLoneSurrogate, EProfileRead::UnknownEncoding, "",
                     kLoneSurrogate}),
    [](const ::testing::TestParamInfo<EncodingCase>& info) { return info.param.name; });
