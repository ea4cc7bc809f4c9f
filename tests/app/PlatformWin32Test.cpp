#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "TestSupportWin32.h"
#include "model/ProcessArguments.h"
#include "platform/ProcessCommandLine.h"
#include "platform/FolderQuery.h"
#include "platform/Console.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Process.h"

// The Windows services: the profile in the Windows directory, the system's temporary names,
// the command line as the system gives it.

namespace {

// The variable's value for the life of the object; GetTempPathA reads TMP first.
class TempVariable {
public:
    explicit TempVariable(const std::string& value) {
        char old[MAX_PATH];
        const DWORD length = GetEnvironmentVariableA("TMP", old, sizeof old);
        m_saved = std::string(old, length);
        SetEnvironment("TMP", value);
    }
    ~TempVariable() { SetEnvironment("TMP", m_saved); }

private:
    std::string m_saved;
};

struct SCharacterCase {
    char c;
    bool separator;
    bool unsafe;
};

const SCharacterCase kCharacters[] = {
    {'\\', true, true},  {'/', true, true},   {':', false, true},  {'*', false, true},
    {'?', false, true},  {'"', false, true},  {'<', false, true},  {'>', false, true},
    {'|', false, true},  {'\t', false, true}, {'.', false, false}, {' ', false, false},
    {'a', false, false}, {'%', false, false}, {'-', false, false}};

}  // namespace

class PlatformWin32Test : public ::testing::Test {
protected:
    TempDir m_dir;
};

TEST_F(PlatformWin32Test, ProfileIsNamedAfterTheExecutableInTheWindowsDirectory) {
    EXPECT_EQ(GetProfilePath(), WindowsDirectory() + "\\test_app.INI");
}

TEST_F(PlatformWin32Test, TempDirectoryIsTheSystemsWithItsTrailingBackslash) {
    TempVariable temp(m_dir.Path());
    EXPECT_EQ(GetSystemTempDirectory(), m_dir.Path() + "\\");
}

TEST_F(PlatformWin32Test, TempFileNameIsANewEmptyMstFileWithTheSystemsExtension) {
    std::set<std::string> names;
    for (int i = 0; i < 3; ++i) {
        std::string name;
        SSystemError error;
        ASSERT_TRUE(MakeTempFileName(m_dir.Path(), "mst", &name, &error));
        EXPECT_EQ(name.rfind(m_dir.Path() + "\\mst", 0), 0u) << name;
        EXPECT_EQ(name.substr(name.size() - 4), ".tmp") << name;
        EXPECT_TRUE(FileExists(name));
        EXPECT_EQ(ReadWholeFile(name), "");
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 3u);
}

TEST_F(PlatformWin32Test, TempFileNameFailsInMissingDirectory) {
    std::string name = "untouched";
    SSystemError error;
    EXPECT_FALSE(MakeTempFileName(m_dir.File("missing"), "mst", &name, &error));
    EXPECT_EQ(name, "untouched");
    EXPECT_NE(error.text, "");
}

TEST_F(PlatformWin32Test, RemoveFileDeletesAndToleratesMissingFile) {
    const std::string path = m_dir.File("gone.mpg");
    WriteWholeFile(path, "x");
    EXPECT_TRUE(RemoveFile(path));
    EXPECT_FALSE(FileExists(path));
    EXPECT_TRUE(RemoveFile(path));
    EXPECT_TRUE(RemoveFile(m_dir.File("missing\\gone.mpg")));
}

TEST_F(PlatformWin32Test, ToolsDefaultToTheirExeNames) {
    EXPECT_EQ(DefaultToolName("ffmpeg"), "ffmpeg.exe");
    EXPECT_EQ(DefaultToolName("evtdump"), "evtdump.exe");
    EXPECT_EQ(DefaultToolName("rtvedit"), "rtvedit.exe");
}

TEST_F(PlatformWin32Test, BackslashJoinsAndBothSlashesSeparate) {
    EXPECT_STREQ(PathSeparator(), "\\");
    for (const SCharacterCase& row : kCharacters) {
        EXPECT_EQ(IsPathSeparator(row.c), row.separator) << row.c;
        EXPECT_EQ(IsUnsafeInFileName(row.c), row.unsafe) << row.c;
    }
}

TEST_F(PlatformWin32Test, ExistingFileIsNotAFolder) {
    WriteWholeFile(m_dir.File("show.mpg"), "x");
    EXPECT_TRUE(IsExistingFile(m_dir.File("show.mpg")));
    EXPECT_FALSE(IsExistingFile(m_dir.Path()));
    EXPECT_FALSE(IsExistingFile(m_dir.File("none.mpg")));
    EXPECT_TRUE(IsExistingFolder(m_dir.Path()));
    EXPECT_FALSE(IsExistingFolder(m_dir.File("show.mpg")));
    EXPECT_FALSE(IsExistingFolder(m_dir.File("none")));
    EXPECT_EQ(MaxFileNameLength(m_dir.Path()), 255u);
}

TEST_F(PlatformWin32Test, CommandLineIsTheSystemsWhateverTheArgumentsSay) {
    const std::vector<std::string> saved = GetProcessArguments();
    SetProcessArguments({"C:\\PELKAR.EXE", "--gui"});
    EXPECT_EQ(GetProcessCommandLine(), GetCommandLineA());
    SetProcessArguments(saved);
}

TEST_F(PlatformWin32Test, WithoutADisplayNoWindowCanBeShown) {
    EXPECT_FALSE(IsDisplayAvailable());
}

TEST_F(PlatformWin32Test, ClockAdvancesAcrossASleep) {
    const long long before = ClockMilliseconds();
    EXPECT_GE(before, 0);
    SleepMilliseconds(30);
    EXPECT_GE(ClockMilliseconds() - before, 30);
}
