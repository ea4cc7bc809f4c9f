#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "platform/AppendFile.h"

// The log's Windows back end: text mode (CR LF), shared, every line at the current end.

namespace {

const int kWriters = 4;
const int kLinesPerWriter = 150;

std::string WriterLine(int writer, int index) {
    return std::to_string(writer) + ":" + std::to_string(index) + ":" +
           std::string(3000, static_cast<char>('a' + writer));
}

}  // namespace

class AppendFileWin32Test : public ::testing::Test {
protected:
    TempDir m_dir;
    std::string m_path = m_dir.File("pelkar.log");
};

TEST_F(AppendFileWin32Test, LineFeedsGoOutAsCarriageReturnLineFeed) {
    CAppendFile file;
    ASSERT_TRUE(file.Open(m_path, nullptr));
    ASSERT_TRUE(file.Write("first\nframe=1\rframe=2\r\nlast\n"));
    file.Close();
    EXPECT_EQ(ReadWholeFile(m_path), "first\r\nframe=1\rframe=2\r\r\nlast\r\n");
}

TEST_F(AppendFileWin32Test, OpenCreatesTheFileAndNeverTruncates) {
    WriteWholeFile(m_path, "earlier run\r\n");
    CAppendFile file;
    std::string error;
    ASSERT_TRUE(file.Open(m_path, &error));
    EXPECT_EQ(error, "");
    ASSERT_TRUE(file.Write("this run\n"));
    file.Close();
    EXPECT_EQ(ReadWholeFile(m_path), "earlier run\r\nthis run\r\n");
}

TEST_F(AppendFileWin32Test, OpenFailureNamesTheFileInTheSystemsWords) {
    const std::string path = m_dir.File("missing\\pelkar.log");
    CAppendFile file;
    std::string error;
    EXPECT_FALSE(file.Open(path, &error));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
    EXPECT_GT(error.size(), path.size() + 2) << error;
}

TEST_F(AppendFileWin32Test, OtherProgramsMayReadWriteAndDeleteWhileItIsOpen) {
    CAppendFile file;
    ASSERT_TRUE(file.Open(m_path, nullptr));
    const HANDLE other = CreateFileA(m_path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(other, INVALID_HANDLE_VALUE);
    CloseHandle(other);
}

TEST_F(AppendFileWin32Test, EachWriteLandsAtTheCurrentEndOfFile) {
    CAppendFile first, second;
    ASSERT_TRUE(first.Open(m_path, nullptr));
    ASSERT_TRUE(second.Open(m_path, nullptr));
    ASSERT_TRUE(first.Write("1\n"));
    ASSERT_TRUE(second.Write("2\n"));
    ASSERT_TRUE(first.Write("3\n"));
    EXPECT_EQ(ReadWholeFile(m_path), "1\r\n2\r\n3\r\n");
}

TEST_F(AppendFileWin32Test, LinesOfConcurrentWritersNeverInterleave) {
    std::vector<std::thread> writers;
    for (int writer = 0; writer < kWriters; ++writer) {
        writers.emplace_back([this, writer] {
            CAppendFile file;
            ASSERT_TRUE(file.Open(m_path, nullptr));
            for (int i = 0; i < kLinesPerWriter; ++i) {
                ASSERT_TRUE(file.Write(WriterLine(writer, i) + "\n"));
            }
        });
    }
    for (std::thread& writer : writers) writer.join();
    std::map<int, int> nextIndex;
    for (const std::string& line : SplitLines(ReadWholeFile(m_path))) {
        const int writer = line.empty() ? -1 : line[0] - '0';
        ASSERT_TRUE(writer >= 0 && writer < kWriters) << line.substr(0, 40);
        ASSERT_EQ(line, WriterLine(writer, nextIndex[writer]) + "\r") << line.substr(0, 40);
        ++nextIndex[writer];
    }
    for (int writer = 0; writer < kWriters; ++writer) {
        EXPECT_EQ(nextIndex[writer], kLinesPerWriter);
    }
}
