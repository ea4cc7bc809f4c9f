#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PieceRecorder.h"
#include "TestSupport.h"
#include "processing/ConsoleRunner.h"

namespace {

const unsigned kPatience = 10000;

std::string ChildCommand(const std::string& steps) {
    return "\"" + ToolPath("runner_child") + "\" " + steps;
}

// The bytes runner_child's "bytes N" step writes.
std::string Pattern(size_t length) {
    std::string bytes;
    for (size_t i = 0; i < length; ++i) bytes += static_cast<char>('a' + i % 26);
    return bytes;
}

std::vector<int> OpenDescriptors() {
    std::vector<int> descriptors;
    DIR* listing = opendir("/proc/self/fd");
    while (const dirent* entry = readdir(listing)) {
        const int fd = std::atoi(entry->d_name);
        if (entry->d_name[0] != '.' && fd != dirfd(listing)) descriptors.push_back(fd);
    }
    closedir(listing);
    std::sort(descriptors.begin(), descriptors.end());
    return descriptors;
}

// A child's descriptors: its standard streams and nothing else.
const char kChildDescriptors[] = "fds=0,1,2\n";

// The state letter of /proc/<pid>/stat and the parent it names; false when there is none.
bool ProcessState(int pid, char* state, int* parent) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(stat, text)) return false;
    const std::string::size_type nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos) return false;
    return std::sscanf(text.c_str() + nameEnd + 1, " %c %d", state, parent) == 2;
}

int ZombieChildren() {
    int zombies = 0;
    DIR* processes = opendir("/proc");
    while (const dirent* entry = readdir(processes)) {
        const int pid = std::atoi(entry->d_name);
        char state = 0;
        int parent = 0;
        if (pid > 0 && ProcessState(pid, &state, &parent) && parent == getpid() && state == 'Z') {
            ++zombies;
        }
    }
    closedir(processes);
    return zombies;
}

bool IsAliveAndNotZombie(int pid) {
    char state = 0;
    int parent = 0;
    return kill(pid, 0) == 0 && ProcessState(pid, &state, &parent) && state != 'Z';
}

bool IsGone(int pid) {
    char state = 0;
    int parent = 0;
    return !ProcessState(pid, &state, &parent);
}

// The number after "<key>=" in the text; 0 when there is none.
int ValueAfter(const std::string& text, const std::string& key) {
    const std::string::size_type at = text.find(key + "=");
    return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + key.size() + 1);
}

bool IsSignalBlocked(int number) {
    sigset_t mask;
    pthread_sigmask(SIG_BLOCK, nullptr, &mask);
    return sigismember(&mask, number) == 1;
}

bool IsSignalPending(int number) {
    sigset_t pending;
    sigpending(&pending);
    return sigismember(&pending, number) == 1;
}

// Holds the reader thread inside its first delivery until released. Shared, so that the
// blocked call never depends on the runner that made it.
struct Latch {
    std::mutex lock;
    std::condition_variable changed;
    bool entered = false;
    bool released = false;
    std::string firstPiece;

    void Enter(const std::string& piece) {
        std::unique_lock<std::mutex> hold(lock);
        entered = true;
        firstPiece = piece;
        changed.notify_all();
        changed.wait(hold, [this] { return released; });
    }
    bool WaitEntered() {
        std::unique_lock<std::mutex> hold(lock);
        return changed.wait_for(hold, std::chrono::milliseconds(kPatience),
                                [this] { return entered; });
    }
    void Release() {
        std::lock_guard<std::mutex> hold(lock);
        released = true;
        changed.notify_all();
    }
};

class BlockingRunner : public CConsoleRunner {
public:
    explicit BlockingRunner(std::shared_ptr<Latch> latch) : m_latch(std::move(latch)) {}
    ~BlockingRunner() override {
        m_latch->Release();
        Stop();
    }

    void OnChildOutput(const std::string& text) override {
        const std::shared_ptr<Latch> latch = m_latch;
        latch->Enter(text);
    }

private:
    std::shared_ptr<Latch> m_latch;
};

// Stops itself, on the reader thread, as soon as the child has said its process id.
class SelfStoppingRunner : public CConsoleRunner {
public:
    ~SelfStoppingRunner() override { Stop(); }

    void OnChildOutput(const std::string& text) override {
        CConsoleRunner::OnChildOutput(text);
        if (ValueAfter(text, "pid") > 0) Stop();
    }
};

class ConsoleRunnerTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_TRUE(BecomesTrueWithin(kPatience, [] { return ZombieChildren() == 0; }));
    }

    // Runs the steps to their end and returns the collected output.
    static std::string RunToEnd(const std::string& steps) {
        CConsoleRunner runner;
        EXPECT_TRUE(runner.Start(ChildCommand(steps)));
        EXPECT_TRUE(runner.WaitForEnd(kPatience));
        return runner.GetAllOutput();
    }
};

TEST_F(ConsoleRunnerTest, MissingProgramFailsWithErrorTwoInBothBuffers) {
    CConsoleRunner runner;
    EXPECT_FALSE(runner.Start("pelkar-no-such-program-here -y"));
    EXPECT_EQ(errno, 2);
    EXPECT_FALSE(runner.IsRunning());
    EXPECT_EQ(runner.GetAllOutput(), "Redirect console error: 2\r\n");
    EXPECT_EQ(runner.GetLastChunk(), "Redirect console error: 2\r\n");
}

TEST_F(ConsoleRunnerTest, MissingProgramPathFailsAtExecAndLeavesNoZombie) {
    CConsoleRunner runner;
    EXPECT_FALSE(runner.Start("/no/such/dir/tool -i x"));
    EXPECT_FALSE(runner.IsRunning());
    EXPECT_EQ(runner.GetAllOutput(), "Redirect console error: 2\r\n");
    EXPECT_EQ(ZombieChildren(), 0);
}

TEST_F(ConsoleRunnerTest, ExecErrorIsReportedInLowerCaseHexadecimal) {
    TempDir folder;
    const std::string notExecutable = folder.File("plain.txt");
    WriteWholeFile(notExecutable, "text\n");
    chmod(notExecutable.c_str(), 0644);
    CConsoleRunner runner;
    EXPECT_FALSE(runner.Start(notExecutable));
    EXPECT_EQ(runner.GetAllOutput(), "Redirect console error: d\r\n");  // EACCES, 13
}

TEST_F(ConsoleRunnerTest, ThousandBytesArriveInPiecesOfAtMost255) {
    PieceRecorder runner;
    ASSERT_TRUE(runner.Start(ChildCommand("bytes 1000")));
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    const std::vector<std::string> pieces = runner.Pieces();
    ASSERT_GE(pieces.size(), 4u);
    std::string joined;
    for (const std::string& piece : pieces) {
        EXPECT_LE(piece.size(), 255u);
        joined += piece;
    }
    EXPECT_EQ(joined, Pattern(1000));
    EXPECT_EQ(runner.GetAllOutput(), Pattern(1000));
    EXPECT_EQ(runner.GetLastChunk(), pieces.back());
}

TEST_F(ConsoleRunnerTest, StandardErrorAndOutputArriveMergedInOrder) {
    EXPECT_EQ(RunToEnd("out first err second out third"), "first\nsecond\nthird\n");
}

TEST_F(ConsoleRunnerTest, IsRunningTurnsFalseByItselfOnlyAfterLastOutputAndRelease) {
    const size_t descriptorsBefore = OpenDescriptors().size();
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("line out done")));
    EXPECT_TRUE(runner.IsRunning());
    ASSERT_TRUE(runner.WriteInput("%s", "go\n"));
    ASSERT_TRUE(BecomesTrueWithin(kPatience, [&] { return !runner.IsRunning(); }));
    EXPECT_EQ(runner.GetAllOutput(), "line=go\ndone\n");
    EXPECT_EQ(OpenDescriptors().size(), descriptorsBefore);
}

TEST_F(ConsoleRunnerTest, SecondStartEmptiesBuffersAndCollectsOnlyItsOwnOutput) {
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("out first")));
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    ASSERT_EQ(runner.GetAllOutput(), "first\n");
    ASSERT_TRUE(runner.Start(ChildCommand("line out second")));
    EXPECT_EQ(runner.GetAllOutput(), "");
    EXPECT_EQ(runner.GetLastChunk(), "");
    ASSERT_TRUE(runner.WriteInput("%s", "\n"));
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    EXPECT_EQ(runner.GetAllOutput(), "line=\nsecond\n");
}

TEST_F(ConsoleRunnerTest, WriteInputPassesPercentSignsUnchanged) {
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("line")));
    EXPECT_TRUE(runner.WriteInput("%s", "100% sure %d %s\n"));
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    EXPECT_EQ(runner.GetAllOutput(), "line=100% sure %d %s\n");
}

TEST_F(ConsoleRunnerTest, WriteInputFormatsItsArgumentsAndKeepsInputOpen) {
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("line line")));
    EXPECT_TRUE(runner.WriteInput("T%s-%d\n", "/tmp/x.mpg", 42));
    EXPECT_TRUE(runner.WriteInput("%s\n", "again"));
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    EXPECT_EQ(runner.GetAllOutput(), "line=T/tmp/x.mpg-42\nline=again\n");
}

TEST_F(ConsoleRunnerTest, WriteInputSendsTextLongerThanThePipeHolds) {
    const std::string longLine(200000, 'x');
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("line")));
    EXPECT_TRUE(runner.WriteInput("%s\n", longLine.c_str()));
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    EXPECT_EQ(runner.GetAllOutput(), "line=" + longLine + "\n");
}

TEST_F(ConsoleRunnerTest, WriteInputWithoutChildReturnsFalse) {
    CConsoleRunner runner;
    EXPECT_FALSE(runner.WriteInput("%s", "nobody\n"));
    ASSERT_TRUE(runner.Start(ChildCommand("out bye")));
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    EXPECT_FALSE(runner.WriteInput("%s", "too late\n"));
}

TEST_F(ConsoleRunnerTest, WriteToChildThatClosedItsInputFailsWithoutKillingUs) {
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("closein out closed sleep 500")));
    ASSERT_TRUE(BecomesTrueWithin(kPatience, [&] { return runner.GetAllOutput() == "closed\n"; }));
    EXPECT_FALSE(runner.WriteInput("%s", "into a broken pipe\n"));
    EXPECT_FALSE(IsSignalPending(SIGPIPE));
    EXPECT_FALSE(IsSignalBlocked(SIGPIPE));
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
}

// Its own child keeps the input open and reads nothing, so only the tool's end can free a
// writer that waits for room in the pipe.
TEST_F(ConsoleRunnerTest, WriteLargerThanThePipeGivesWayWhenTheChildEnds) {
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("daemon 60000 sleep 300")));
    const std::string text(200000, 'x');
    std::atomic<int> written{-1};
    std::thread writer([&] { written = runner.WriteInput("%s", text.c_str()) ? 1 : 0; });
    const bool gaveWay = BecomesTrueWithin(kPatience, [&] { return written >= 0; });
    EXPECT_TRUE(gaveWay);
    EXPECT_EQ(written, 0);
    writer.join();
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    const int grandchild = ValueAfter(runner.GetAllOutput(), "grandchild");
    if (grandchild > 0) kill(grandchild, SIGKILL);
}

TEST_F(ConsoleRunnerTest, WaitForOutputWakesOnNewOutputWhileChildRuns) {
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("out ready line")));
    ASSERT_TRUE(runner.WaitForOutput(0, kPatience));
    EXPECT_EQ(runner.GetAllOutput(), "ready\n");
    EXPECT_TRUE(runner.IsRunning());
    EXPECT_FALSE(runner.WaitForOutput(runner.GetAllOutputLength(), 50));
    ASSERT_TRUE(runner.WriteInput("%s", "\n"));
    EXPECT_TRUE(runner.WaitForEnd(kPatience));
}

TEST_F(ConsoleRunnerTest, StopLeavesRunningChildAliveAndClosesEveryHandle) {
    const size_t descriptorsBefore = OpenDescriptors().size();
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("pid hang")));
    ASSERT_TRUE(
        BecomesTrueWithin(kPatience, [&] { return ValueAfter(runner.GetAllOutput(), "pid"); }));
    const int pid = ValueAfter(runner.GetAllOutput(), "pid");
    runner.Stop();
    EXPECT_FALSE(runner.IsRunning());
    EXPECT_EQ(OpenDescriptors().size(), descriptorsBefore);
    EXPECT_EQ(runner.GetAllOutput().find("The redir thread is dead"), std::string::npos);
    EXPECT_TRUE(IsAliveAndNotZombie(pid));
    kill(pid, SIGKILL);
    EXPECT_TRUE(BecomesTrueWithin(kPatience, [&] { return IsGone(pid); }));
}

// A tool may close its output and go on working on the files the next step reads.
TEST_F(ConsoleRunnerTest, ChildThatClosesItsOutputRunsUntilItsProcessEnds) {
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("pid closeout sleep 700 exit 4")));
    EXPECT_FALSE(runner.WaitForEnd(300));
    const int pid = ValueAfter(runner.GetAllOutput(), "pid");
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(IsAliveAndNotZombie(pid));
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    EXPECT_EQ(runner.GetExit().kind, SToolExit::EKind::Exited);
    EXPECT_EQ(runner.GetExit().code, 4);
}

struct ExitCase {
    const char* steps;
    SToolExit::EKind kind;
    int code;
    // With SIGCHLD ignored the system reaps the child itself, and every wait for it fails.
    bool childEndsIgnored = false;
};

TEST_F(ConsoleRunnerTest, HowTheChildEndedIsRecorded) {
    const ExitCase cases[] = {{"out done", SToolExit::EKind::Exited, 0},
                              {"exit 3", SToolExit::EKind::Exited, 3},
                              {"pid killself", SToolExit::EKind::Signalled, SIGKILL},
                              {"exit 3", SToolExit::EKind::NotSeen, 0, true}};
    for (const ExitCase& row : cases) {
        const auto previous = signal(SIGCHLD, row.childEndsIgnored ? SIG_IGN : SIG_DFL);
        CConsoleRunner runner;
        ASSERT_TRUE(runner.Start(ChildCommand(row.steps)));
        ASSERT_TRUE(runner.WaitForEnd(kPatience));
        signal(SIGCHLD, previous);
        EXPECT_EQ(runner.GetExit().kind, row.kind) << row.steps;
        EXPECT_EQ(runner.GetExit().code, row.code) << row.steps;
    }
    CConsoleRunner missing;
    EXPECT_FALSE(missing.Start(ToolPath("no-such-program")));
    EXPECT_EQ(missing.GetExit().kind, SToolExit::EKind::NotSeen);
}

// The child dies with this process, but not with the thread that happened to start it.
TEST_F(ConsoleRunnerTest, ChildOutlivesTheThreadThatStartedIt) {
    CConsoleRunner runner;
    std::thread([&] { EXPECT_TRUE(runner.Start(ChildCommand("sleep 300 exit 4"))); }).join();
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    EXPECT_EQ(runner.GetExit().kind, SToolExit::EKind::Exited);
    EXPECT_EQ(runner.GetExit().code, 4);
}

TEST_F(ConsoleRunnerTest, ClosedInputLetsAChildThatReadsToTheEndFinish) {
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("echo out finished")));
    ASSERT_TRUE(runner.WriteInput("%s", "script\n"));
    EXPECT_FALSE(runner.WaitForEnd(200));
    runner.CloseInput();
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    EXPECT_EQ(runner.GetAllOutput(), "script\nfinished\n");
}

TEST_F(ConsoleRunnerTest, EndChildEndsTheChildAndEverythingItStarted) {
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("pid daemon 60000 hang")));
    ASSERT_TRUE(BecomesTrueWithin(kPatience, [&] {
        return ValueAfter(runner.GetAllOutput(), "grandchild") > 0;
    }));
    const int pid = ValueAfter(runner.GetAllOutput(), "pid");
    const int grandchild = ValueAfter(runner.GetAllOutput(), "grandchild");

    runner.EndChild(kPatience);

    EXPECT_FALSE(runner.IsRunning());
    EXPECT_EQ(runner.GetExit().kind, SToolExit::EKind::Signalled);
    EXPECT_EQ(runner.GetExit().code, SIGTERM);
    EXPECT_TRUE(BecomesTrueWithin(kPatience, [&] { return IsGone(pid); }));
    EXPECT_TRUE(BecomesTrueWithin(kPatience, [&] { return !IsAliveAndNotZombie(grandchild); }));
}

TEST_F(ConsoleRunnerTest, HugeOutputKeepsItsBeginningAndEndWithinBounds) {
    const size_t total = 5 * 1000 * 1000;
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("bytes " + std::to_string(total))));
    ASSERT_TRUE(runner.WaitForEnd(kPatience));

    const std::string output = runner.GetAllOutput();
    const std::string pattern = Pattern(total);
    const size_t keep = COutputBuffer::kDefaultKeep;
    EXPECT_EQ(runner.GetAllOutputLength(), total);
    EXPECT_TRUE(runner.IsOutputCut());
    EXPECT_EQ(output.substr(0, keep), pattern.substr(0, keep));
    EXPECT_EQ(output.substr(output.size() - keep), pattern.substr(total - keep));
    EXPECT_NE(output.find("\n[... " + std::to_string(total - 2 * keep) +
                          " bytes of output left out ...]\n"),
              std::string::npos);
    EXPECT_LE(runner.GetLastChunk().size(), 255u);
}

TEST_F(ConsoleRunnerTest, ChildEndIsNoticedWhileItsOwnChildKeepsTheOutputOpen) {
    CConsoleRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("daemon 60000 out parent-done")));
    EXPECT_TRUE(runner.WaitForEnd(kPatience));
    const std::string output = runner.GetAllOutput();
    EXPECT_NE(output.find("parent-done\n"), std::string::npos);
    const int grandchild = ValueAfter(output, "grandchild");
    ASSERT_GT(grandchild, 0);
    EXPECT_TRUE(IsAliveAndNotZombie(grandchild));
    kill(grandchild, SIGKILL);
}

TEST_F(ConsoleRunnerTest, ChildRunsInASessionOfItsOwn) {
    const std::string output = RunToEnd("pid sid");
    EXPECT_GT(ValueAfter(output, "pid"), 0);
    EXPECT_EQ(ValueAfter(output, "sid"), ValueAfter(output, "pid"));
    EXPECT_NE(ValueAfter(output, "sid"), getsid(0));
}

TEST_F(ConsoleRunnerTest, ChildGetsItsArgumentsSplitByWindowsRules) {
    EXPECT_EQ(RunToEnd("args \"two words\" a\\\"b \"\" c:\\dir\\"),
              "[" + ToolPath("runner_child") + "]\n[args]\n[two words]\n[a\"b]\n[]\n[c:\\dir\\]\n");
}

TEST_F(ConsoleRunnerTest, ProgramWithoutSlashIsFoundOnPath) {
    const char* previous = std::getenv("PATH");
    const std::string savedPath = previous ? previous : "";
    setenv("PATH", ("/nonexistent:" + ToolPath("") + ":" + savedPath).c_str(), 1);
    CConsoleRunner runner;
    const bool started = runner.Start("runner_child out found");
    setenv("PATH", savedPath.c_str(), 1);
    ASSERT_TRUE(started);
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    EXPECT_EQ(runner.GetAllOutput(), "found\n");
}

// As CreateProcess does: this test program's own folder comes before PATH, where a script of
// the same name waits.
TEST_F(ConsoleRunnerTest, ProgramBesideTheRunningExecutableWinsOverPath) {
    TempDir path;
    WriteWholeFile(path.File("test_processing"), "#!/bin/sh\necho from PATH\n");
    chmod(path.File("test_processing").c_str(), 0755);
    const char* previous = std::getenv("PATH");
    const std::string savedPath = previous ? previous : "";
    setenv("PATH", path.Path().c_str(), 1);
    CConsoleRunner runner;
    const bool started = runner.Start(
        "test_processing --gtest_list_tests --gtest_filter=ConsoleRunnerTest.Child*Own");
    setenv("PATH", savedPath.c_str(), 1);
    ASSERT_TRUE(started);
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    const std::string output = runner.GetAllOutput();
    EXPECT_NE(output.find("ConsoleRunnerTest.\n  ChildRunsInASessionOfItsOwn\n"), std::string::npos)
        << output;
    EXPECT_EQ(output.find("from PATH"), std::string::npos);
}

// Not even one that someone else left open across exec.
TEST_F(ConsoleRunnerTest, ChildInheritsOnlyItsStandardStreams) {
    const int leftOpen = open("/dev/null", O_RDONLY);
    ASSERT_GE(leftOpen, 0);
    EXPECT_EQ(RunToEnd("fds"), kChildDescriptors);
    close(leftOpen);
}

TEST_F(ConsoleRunnerTest, RunnersOnParallelThreadsKeepPipesOutOfEachOthersChildren) {
    std::mutex resultsLock;
    std::vector<std::string> outputs;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int run = 0; run < 8; ++run) {
                const std::string output = RunToEnd("fds");
                std::lock_guard<std::mutex> hold(resultsLock);
                outputs.push_back(output);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    ASSERT_EQ(outputs.size(), 32u);
    for (const std::string& output : outputs) EXPECT_EQ(output, kChildDescriptors);
}

TEST_F(ConsoleRunnerTest, NoDescriptorIsLeftOpenAfterAnyKindOfRun) {
    const size_t descriptorsBefore = OpenDescriptors().size();
    {
        CConsoleRunner runner;
        runner.Start("pelkar-no-such-program-here");
        runner.Start("/no/such/dir/tool");
        runner.Start(ChildCommand("bytes 3000 err x"));
        runner.WaitForEnd(kPatience);
        runner.Start(ChildCommand("line"));
        runner.WriteInput("%s", "x\n");
        runner.WaitForEnd(kPatience);
        runner.Start(ChildCommand("sleep 200"));
    }
    EXPECT_EQ(OpenDescriptors().size(), descriptorsBefore);
}

TEST_F(ConsoleRunnerTest, DestroyingRunnerStopsReaderButLeavesChildRunning) {
    int pid = 0;
    {
        CConsoleRunner runner;
        ASSERT_TRUE(runner.Start(ChildCommand("pid hang")));
        ASSERT_TRUE(
            BecomesTrueWithin(kPatience, [&] { return ValueAfter(runner.GetAllOutput(), "pid"); }));
        pid = ValueAfter(runner.GetAllOutput(), "pid");
    }
    EXPECT_TRUE(IsAliveAndNotZombie(pid));
    kill(pid, SIGKILL);
    EXPECT_TRUE(BecomesTrueWithin(kPatience, [&] { return IsGone(pid); }));
}

TEST_F(ConsoleRunnerTest, ReceiverMayStopTheRunnerFromTheReaderThread) {
    const size_t descriptorsBefore = OpenDescriptors().size();
    SelfStoppingRunner runner;
    ASSERT_TRUE(runner.Start(ChildCommand("pid hang")));
    ASSERT_TRUE(runner.WaitForEnd(kPatience));
    EXPECT_EQ(OpenDescriptors().size(), descriptorsBefore);
    const int pid = ValueAfter(runner.GetAllOutput(), "pid");
    EXPECT_TRUE(IsAliveAndNotZombie(pid));
    kill(pid, SIGKILL);
    EXPECT_TRUE(BecomesTrueWithin(kPatience, [&] { return IsGone(pid); }));
}

TEST_F(ConsoleRunnerTest, ReaderStuckInDeliveryIsGivenUpAfterGraceAndReleasesItsPipesLater) {
    const size_t descriptorsBefore = OpenDescriptors().size();
    auto latch = std::make_shared<Latch>();
    {
        BlockingRunner runner(latch);
        ASSERT_TRUE(runner.Start(ChildCommand("pid line")));
        ASSERT_TRUE(latch->WaitEntered());
        const int pid = ValueAfter(latch->firstPiece, "pid");
        runner.Stop();
        EXPECT_FALSE(runner.IsRunning());
        EXPECT_EQ(runner.GetAllOutput(), "The redir thread is dead\r\n");
        EXPECT_FALSE(runner.WriteInput("%s", "x\n"));
        // Its input closed, the child's read ends and so does the child.
        EXPECT_TRUE(BecomesTrueWithin(kPatience, [&] { return IsGone(pid); }));
        latch->Release();
    }
    EXPECT_TRUE(BecomesTrueWithin(kPatience,
                                  [&] { return OpenDescriptors().size() == descriptorsBefore; }));
}

}  // namespace
