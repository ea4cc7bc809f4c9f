#include <gtest/gtest.h>
#include <signal.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "platform/AppendFile.h"

namespace {

const int kWriters = 4;
const int kLinesPerWriter = 200;

std::string WriterLine(int writer, int index) {
    return std::to_string(writer) + ":" + std::to_string(index) + ":" +
           std::string(3000, static_cast<char>('a' + writer)) + "\n";
}

int RunWriter(const std::string& path, int writer) {
    CAppendFile file;
    std::string error;
    if (!file.Open(path, &error)) return 1;
    for (int i = 0; i < kLinesPerWriter; ++i) {
        if (!file.Write(WriterLine(writer, i))) return 2;
    }
    return 0;
}

}  // namespace

class AppendFileTest : public ::testing::Test {
protected:
    TempDir m_dir;
    std::string m_path = m_dir.File("pelkar.log");
};

TEST_F(AppendFileTest, OpenCreatesMissingFile) {
    CAppendFile file;
    std::string error;
    ASSERT_TRUE(file.Open(m_path, &error));
    EXPECT_TRUE(file.IsOpen());
    EXPECT_TRUE(FileExists(m_path));
    EXPECT_EQ(error, "");
}

TEST_F(AppendFileTest, OpenNeverTruncatesAndWritesGoAfterExistingText) {
    WriteWholeFile(m_path, "earlier run\n");
    CAppendFile file;
    ASSERT_TRUE(file.Open(m_path, nullptr));
    ASSERT_TRUE(file.Write("this run\n"));
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadWholeFile(m_path), "earlier run\nthis run\n");
}

TEST_F(AppendFileTest, OpenFailureNamesFileAndReason) {
    const std::string path = m_dir.File("missing/pelkar.log");
    CAppendFile file;
    std::string error;
    EXPECT_FALSE(file.Open(path, &error));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(error, path + ": " + strerror(ENOENT));
}

// Only a regular file is a log; a FIFO that nobody reads must not hold up the run.
TEST_F(AppendFileTest, OpenRefusesWhatIsNotARegularFile) {
    const std::string fifo = m_dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        std::string reason;
    } cases[] = {{"/dev/null", "Not a regular file"}, {fifo, strerror(ENXIO)}};
    for (const auto& row : cases) {
        CAppendFile file;
        std::string error;
        EXPECT_FALSE(file.Open(row.path, &error));
        EXPECT_EQ(error, row.path + ": " + row.reason);
    }
}

// A file-size limit, like a full disk, takes what fits of a write and fails the rest.
TEST_F(AppendFileTest, EntryCutShortByTheDiskIsTakenBackWhole) {
    const std::string earlier(95, 'e');
    WriteWholeFile(m_path, earlier);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        CAppendFile file;
        const bool refused = setrlimit(RLIMIT_FSIZE, &limit) == 0 && file.Open(m_path, nullptr) &&
                             !file.Write("an entry too long\n");
        _exit(refused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadWholeFile(m_path), earlier);
}

TEST_F(AppendFileTest, WriteWithoutOpenFileFails) {
    CAppendFile file;
    EXPECT_FALSE(file.Write("lost\n"));
}

TEST_F(AppendFileTest, EachWriteLandsAtTheCurrentEndOfFile) {
    CAppendFile first, second;
    ASSERT_TRUE(first.Open(m_path, nullptr));
    ASSERT_TRUE(second.Open(m_path, nullptr));
    ASSERT_TRUE(first.Write("1\n"));
    ASSERT_TRUE(second.Write("2\n"));
    ASSERT_TRUE(first.Write("3\n"));
    EXPECT_EQ(ReadWholeFile(m_path), "1\n2\n3\n");
}

TEST_F(AppendFileTest, LinesOfConcurrentProcessesNeverInterleave) {
    std::vector<pid_t> children;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) _exit(RunWriter(m_path, writer));
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    std::map<int, int> nextIndex;
    for (const std::string& line : SplitLines(ReadWholeFile(m_path))) {
        const int writer = line.empty() ? -1 : line[0] - '0';
        ASSERT_TRUE(writer >= 0 && writer < kWriters) << line.substr(0, 40);
        ASSERT_EQ(line + "\n", WriterLine(writer, nextIndex[writer])) << line.substr(0, 40);
        ++nextIndex[writer];
    }
    for (int writer = 0; writer < kWriters; ++writer) {
        EXPECT_EQ(nextIndex[writer], kLinesPerWriter);
    }
}
