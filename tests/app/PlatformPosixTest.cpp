#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "TestSupport.h"
#include "app/Profile.h"
#include "app/StoredSettings.h"
#include "model/ProcessArguments.h"
#include "platform/Console.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Process.h"

namespace {

// Sets or clears environment variables for one test and restores them afterwards.
class EnvironmentOverride {
public:
    ~EnvironmentOverride() {
        for (const auto& [name, value] : m_saved) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }

    void Set(const std::string& name, const std::optional<std::string>& value) {
        if (!m_saved.count(name)) {
            const char* old = getenv(name.c_str());
            m_saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value) {
            setenv(name.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<std::string>> m_saved;
};

// Captures what is written to standard error while it lives.
class StandardErrorCapture {
public:
    explicit StandardErrorCapture(const std::string& path) : m_saved(dup(STDERR_FILENO)) {
        const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(file, STDERR_FILENO);
        close(file);
    }
    ~StandardErrorCapture() {
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
    }

private:
    int m_saved;
};

// Puts the descriptor, which it takes over, in the place of standard output while it lives.
class StandardOutputSwap {
public:
    explicit StandardOutputSwap(int fd) : m_saved(dup(STDOUT_FILENO)) {
        dup2(fd, STDOUT_FILENO);
        close(fd);
    }
    ~StandardOutputSwap() {
        dup2(m_saved, STDOUT_FILENO);
        close(m_saved);
    }

private:
    int m_saved;
};

}  // namespace

class PlatformPosixTest : public ::testing::Test {
protected:
    EnvironmentOverride m_environment;
    TempDir m_dir;
};

TEST_F(PlatformPosixTest, TempDirectoryComesFromTmpdirWithTrailingSlash) {
    m_environment.Set("TMPDIR", "/var/scratch");
    EXPECT_EQ(GetSystemTempDirectory(), "/var/scratch/");
    m_environment.Set("TMPDIR", "/var/scratch/");
    EXPECT_EQ(GetSystemTempDirectory(), "/var/scratch/");
}

TEST_F(PlatformPosixTest, TempDirectoryIsTmpWhenTmpdirIsUnsetOrEmpty) {
    m_environment.Set("TMPDIR", std::nullopt);
    EXPECT_EQ(GetSystemTempDirectory(), "/tmp/");
    m_environment.Set("TMPDIR", "");
    EXPECT_EQ(GetSystemTempDirectory(), "/tmp/");
}

TEST_F(PlatformPosixTest, ProfileLivesInXdgConfigHome) {
    m_environment.Set("XDG_CONFIG_HOME", "/home/u/conf");
    EXPECT_EQ(GetProfilePath(), "/home/u/conf/" + GetApplicationTitle() + ".ini");
}

TEST_F(PlatformPosixTest, ProfileFallsBackToDotConfigInHome) {
    m_environment.Set("HOME", "/home/u");
    m_environment.Set("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(GetProfilePath(), "/home/u/.config/" + GetApplicationTitle() + ".ini");
    m_environment.Set("XDG_CONFIG_HOME", "relative/conf");
    EXPECT_EQ(GetProfilePath(), "/home/u/.config/" + GetApplicationTitle() + ".ini");
}

// A relative folder would put the profile wherever the host runs us: the user's entry stands in.
TEST_F(PlatformPosixTest, ProfileIgnoresRelativeHomeAndConfigHome) {
    m_environment.Set("HOME", "relative/home");
    m_environment.Set("XDG_CONFIG_HOME", "relative/conf");
    const passwd* entry = getpwuid(getuid());
    ASSERT_TRUE(entry && entry->pw_dir && entry->pw_dir[0] == '/');
    EXPECT_EQ(GetProfilePath(),
              std::string(entry->pw_dir) + "/.config/" + GetApplicationTitle() + ".ini");
}

// The report reaches a reader that empties its pipe slowly, and a stream that cannot take it
// says so with the system's reason.
TEST_F(PlatformPosixTest, ConsoleWriteGoesWholeOrSaysWhy) {
    const std::string report(300000, 'r');
    std::string error;
    {
        StandardOutputSwap full(open("/dev/full", O_WRONLY));
        EXPECT_EQ(WriteToConsole(report, &error), EConsoleWrite::Failed);
    }
    EXPECT_EQ(error, strerror(ENOSPC));
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    fcntl(ends[1], F_SETPIPE_SZ, 4096);
    fcntl(ends[1], F_SETFL, O_NONBLOCK);
    std::string received;
    std::thread reader([&] {
        SleepMilliseconds(100);
        char buffer[4096];
        ssize_t count;
        while ((count = read(ends[0], buffer, sizeof buffer)) > 0) received.append(buffer, count);
    });
    {
        StandardOutputSwap pipe(ends[1]);
        EXPECT_EQ(WriteToStartingConsole(report), EConsoleWrite::Written);
    }
    reader.join();
    close(ends[0]);
    EXPECT_EQ(received.size(), report.size());
}

TEST_F(PlatformPosixTest, TempFileNameIsANewEmptyFileWithThePrefix) {
    std::set<std::string> names;
    for (const std::string& directory : {m_dir.Path(), m_dir.Path() + "/"}) {
        for (int i = 0; i < 3; ++i) {
            std::string name;
            SSystemError error;
            ASSERT_TRUE(MakeTempFileName(directory, "mst", &name, &error));
            EXPECT_EQ(name.rfind(m_dir.Path() + "/mst", 0), 0u) << name;
            EXPECT_TRUE(FileExists(name));
            EXPECT_EQ(ReadWholeFile(name), "");
            names.insert(name);
        }
    }
    EXPECT_EQ(names.size(), 6u);
}

TEST_F(PlatformPosixTest, TempFileNameHasAnExtensionOfItsOwn) {
    std::string name;
    SSystemError error;
    ASSERT_TRUE(MakeTempFileName(m_dir.Path(), "mst", &name, &error));
    const std::string fileName = name.substr(name.rfind('/') + 1);
    EXPECT_NE(fileName.find('.'), std::string::npos) << fileName;
}

TEST_F(PlatformPosixTest, TempFileNameFailsInMissingDirectory) {
    std::string name = "untouched";
    SSystemError error;
    EXPECT_FALSE(MakeTempFileName(m_dir.File("missing"), "mst", &name, &error));
    EXPECT_EQ(name, "untouched");
    EXPECT_NE(error.text, "");
}

TEST_F(PlatformPosixTest, RemoveFileDeletesAndToleratesMissingFile) {
    const std::string path = m_dir.File("gone.mpg");
    WriteWholeFile(path, "x");
    EXPECT_TRUE(RemoveFile(path));
    EXPECT_FALSE(FileExists(path));
    EXPECT_TRUE(RemoveFile(path));
}

TEST_F(PlatformPosixTest, ToolsDefaultToTheProgramsShippedBesidePelkar) {
    EXPECT_EQ(DefaultToolName("ffmpeg"), "pelkar-ffmpeg");
    EXPECT_EQ(DefaultToolName("evtdump"), "pelkar-evtdump");
    EXPECT_EQ(DefaultToolName("rtvedit"), "pelkar-rtvedit");
}

TEST_F(PlatformPosixTest, ClockAdvancesAcrossASleep) {
    const long long before = ClockMilliseconds();
    EXPECT_GE(before, 0);
    SleepMilliseconds(30);
    EXPECT_GE(ClockMilliseconds() - before, 30);
}

TEST_F(PlatformPosixTest, ExecutablePathIsTheAbsolutePathOfThisProgram) {
    const std::string path = GetExecutablePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(path.substr(path.rfind('/') + 1), "test_app");
    struct stat named = {}, running = {};
    ASSERT_EQ(stat(path.c_str(), &named), 0);
    ASSERT_EQ(stat("/proc/self/exe", &running), 0);
    EXPECT_EQ(named.st_ino, running.st_ino);
}

TEST_F(PlatformPosixTest, DisplayIsAvailableWithX11OrWayland) {
    m_environment.Set("DISPLAY", std::nullopt);
    m_environment.Set("WAYLAND_DISPLAY", "");
    EXPECT_FALSE(IsDisplayAvailable());
    m_environment.Set("DISPLAY", ":0");
    EXPECT_TRUE(IsDisplayAvailable());
    m_environment.Set("DISPLAY", "");
    m_environment.Set("WAYLAND_DISPLAY", "wayland-0");
    EXPECT_TRUE(IsDisplayAvailable());
}

TEST_F(PlatformPosixTest, ConsoleMessageIsOneLineOnStandardError) {
    const std::string path = m_dir.File("stderr.txt");
    {
        StandardErrorCapture capture(path);
        WriteConsoleMessage("PELKAR", "Missing --mpeg parameter");
    }
    EXPECT_EQ(ReadWholeFile(path), "PELKAR: Missing --mpeg parameter\n");
}

// One run's environment must not decide every later run's temporary folder.
TEST(SettingsStorePosixTest, TemporaryFolderFromTheEnvironmentIsStoredOnlyWhenUsable) {
    TempDir home;
    const std::string profilePath = home.File("pelkar.ini");
    EnvironmentOverride environment;
    for (const std::string& tmpdir : {std::string("/nonexistent/"), std::string("relative/"),
                                      home.Path() + "/"}) {
        environment.Set("TMPDIR", tmpdir);
        WriteWholeFile(profilePath, "[PELKAR]\nlogging=0\n");
        const SStoredSettings settings = ReadStoredSettings(CProfile(profilePath), 75);
        EXPECT_EQ(settings.tempPath, tmpdir);
        CProfile writes(profilePath);
        WriteStoredSettings(settings, 75, writes);
        ASSERT_EQ(writes.Commit(), EProfileSave::Saved);
        EXPECT_EQ(CProfile(profilePath).GetProfileString("PELKAR", "tempPath", "(none)") != "(none)",
                  tmpdir == home.Path() + "/")
            << tmpdir;
    }
}
