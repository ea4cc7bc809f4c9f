#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "PieceRecorder.h"
#include "TestSupport.h"
#include "processing/ConsoleRunner.h"

// The runner's Windows part: anonymous pipes, a hidden child in a console of its own, a job
// for everything the child starts.

namespace {

const unsigned kPatience = 10000;

std::string ChildCommand(const std::string& steps) {
    return "\"" + ToolPath("runner_child") + "\" " + steps;
}

std::string Pattern(size_t length) {
    std::string bytes;
    for (size_t i = 0; i < length; ++i) bytes += static_cast<char>('a' + i % 26);
    return bytes;
}

// The number after "<key>=" in the text; 0 when there is none.
DWORD ValueAfter(const std::string& text, const std::string& key) {
    const std::string::size_type at = text.find(key + "=");
    return at == std::string::npos ? 0 : std::stoul(text.substr(at + key.size() + 1));
}

bool IsProcessRunning(DWORD id) {
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (!process) return false;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

bool EndsWithin(DWORD id, DWORD milliseconds) {
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (!process) return true;
    const bool ended = WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

void EndProcess(DWORD id) {
    if (const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id)) {
        TerminateProcess(process, 1);
        CloseHandle(process);
    }
}

std::string RunToEnd(const std::string& steps) {
    CConsoleRunner runner;
    EXPECT_TRUE(runner.Start(ChildCommand(steps)));
    EXPECT_TRUE(runner.WaitForEnd(kPatience));
    return runner.GetAllOutput();
}

}  // namespace

TEST(ConsoleRunnerWin32Test, MissingProgramFailsWithErrorTwoInBothBuffers) {
    CConsoleRunner runner;
    EXPECT_FALSE(runner.Start("C:\\no\\such\\folder\\tool.exe -i x"));
    EXPECT_EQ(GetLastError(), 2u);
    EXPECT_FALSE(runner.IsRunning());
    EXPECT_EQ(runner.GetAllOutput(), "Redirect console error: 2\r\n");
    EXPECT_EQ(runner.GetLastChunk(), "Redirect console error: 2\r\n");
}

// A tool inherits the error mode of the process that starts it, so a tool that crashes, or meets
// a drive without its disk, fails instead of waiting on a system box for nobody to click. Wine
// keeps the mode to each process, so the starter's own mode is what can be seen.
TEST(ConsoleRunnerWin32Test, StartingAChildSetsAnErrorModeWithoutSystemBoxes) {
    const UINT testMode = SetErrorMode(0);
    CConsoleRunner runner;
    const bool started = runner.Start(ChildCommand("out bye"));
    const UINT mode = SetErrorMode(testMode);
    ASSERT_TRUE(started);
    EXPECT_TRUE(runner.WaitForEnd(kPatience));
    const UINT unattended = SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX;
    EXPECT_EQ(mode & unattended, unattended) << mode;
}

TEST(ConsoleRunnerWin32Test, ThousandBytesArriveWholeInPiecesOfAtMost255) {
    PieceRecorder runner;
    ASSERT_TRUE(runner.Start(ChildCommand("bytes 1000")));
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    std::string joined;
    for (const std::string& piece : runner.Pieces()) {
        EXPECT_LE(piece.size(), 255u);
        joined += piece;
    }
    EXPECT_EQ(joined, Pattern(1000));
    EXPECT_EQ(runner.GetLastChunk(), runner.Pieces().back());
}

TEST(ConsoleRunnerWin32Test, BytesAfterAZeroByteAreKept) {
    EXPECT_EQ(RunToEnd("nul out next"), std::string("a\0b\nnext\n", 9));
}

TEST(ConsoleRunnerWin32Test, StandardErrorAndOutputArriveMergedInOrder) {
    EXPECT_EQ(RunToEnd("out first err second out third"), "first\nsecond\nthird\n");
}

TEST(ConsoleRunnerWin32Test, ArgumentsReachTheChildSplitByTheRuntimesRules) {
    EXPECT_EQ(RunToEnd("args \"two words\" a\\\"b \"\""),
              "[" + ToolPath("runner_child") + "]\n[args]\n[two words]\n[a\"b]\n[]\n");
}

TEST(ConsoleRunnerWin32Test, ExitStatusIsRecordedWhenTheChildEnds) {
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("out bye exit 3")));
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    EXPECT_EQ(runner.GetExit().kind, SToolExit::EKind::Exited);
    EXPECT_EQ(runner.GetExit().code, 3);
    EXPECT_EQ(runner.GetAllOutput(), "bye\n");
}

TEST(ConsoleRunnerWin32Test, InputLongerThanThePipeHoldsArrivesWhole) {
    const std::string text = Pattern(300000);
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("echo")));
    // The child echoes while it reads, so the reader keeps the output pipe from filling up.
    EXPECT_TRUE(runner.WriteInput("%s", text.c_str()));
    runner.CloseInput();
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    EXPECT_EQ(runner.GetAllOutputLength(), text.size());
}

TEST(ConsoleRunnerWin32Test, WriteInputFailsWithoutChildAndAfterItsEnd) {
    CConsoleRunner runner;
    EXPECT_FALSE(runner.WriteInput("%s", "nobody\n"));
    ASSERT_TRUE(runner.Start(ChildCommand("line")));
    EXPECT_TRUE(runner.WriteInput("%s", "100% %d\n"));
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    EXPECT_EQ(runner.GetAllOutput(), "line=100% %d\n");
    EXPECT_FALSE(runner.WriteInput("%s", "too late\n"));
}

TEST(ConsoleRunnerWin32Test, ChildEndIsNoticedWhileItsOwnChildHoldsThePipe) {
    CConsoleRunner runner;
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(runner.Start(ChildCommand("daemon 8000 out parent-done")));
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    const std::string output = runner.GetAllOutput();
    EXPECT_NE(output.find("parent-done\n"), std::string::npos) << output;
    EndProcess(ValueAfter(output, "grandchild"));
}

TEST(ConsoleRunnerWin32Test, StopLeavesTheRunningChildAlive) {
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("pid hang")));
    ASSERT_TRUE(runner.WaitForOutput(0, kPatience));
    const DWORD child = ValueAfter(runner.GetAllOutput(), "pid");
    runner.Stop();
    EXPECT_FALSE(runner.IsRunning());
    EXPECT_TRUE(IsProcessRunning(child));
    EndProcess(child);
}

TEST(ConsoleRunnerWin32Test, EndChildEndsTheChildAndWhatItStarted) {
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("daemon 60000 pid hang")));
    ASSERT_TRUE(runner.WaitForOutput(0, kPatience));
    while (runner.GetAllOutput().find("pid=") == std::string::npos) {
        ASSERT_TRUE(runner.WaitForOutput(runner.GetAllOutputLength(), kPatience));
    }
    const DWORD grandchild = ValueAfter(runner.GetAllOutput(), "grandchild");
    ASSERT_NE(grandchild, 0u);
    runner.EndChild(3000);
    EXPECT_FALSE(runner.IsRunning());
    EXPECT_EQ(runner.GetExit().kind, SToolExit::EKind::Exited);
    EXPECT_NE(runner.GetExit().code, 0);
    EXPECT_TRUE(EndsWithin(grandchild, 5000));
}

// A tool may close its output and go on working on the files the next step reads.
TEST(ConsoleRunnerWin32Test, ChildThatClosesItsOutputRunsUntilItsProcessEnds) {
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("pid closeout sleep 1500 exit 4")));
    EXPECT_FALSE(runner.WaitForEnd(500));
    EXPECT_TRUE(IsProcessRunning(ValueAfter(runner.GetAllOutput(), "pid")));
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    EXPECT_EQ(runner.GetExit().code, 4);
}

TEST(ConsoleRunnerWin32Test, ClosedInputLetsAChildThatReadsToTheEndFinish) {
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("echo out finished")));
    ASSERT_TRUE(runner.WriteInput("%s", "script\n"));
    EXPECT_FALSE(runner.WaitForEnd(300));
    runner.CloseInput();
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    EXPECT_EQ(runner.GetAllOutput(), "script\nfinished\n");
}
