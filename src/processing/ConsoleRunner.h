#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/SystemError.h"
#include "processing/OutputBuffer.h"
#include "processing/ToolExit.h"
#include "ui/toolkit/Object.h"

// Runs one outside console program at a time with its standard input, output and error
// redirected, and collects what it writes into one bounded buffer through a reader thread; the
// last piece read is kept apart for the progress display. Standard
// output and standard error share one pipe, so they arrive merged in the order written. The
// run lasts until the program's process has ended, whatever happens to its output.
class CConsoleRunner : public CObject {
public:
    CConsoleRunner();
    ~CConsoleRunner() override;
    CConsoleRunner(const CConsoleRunner&) = delete;
    CConsoleRunner& operator=(const CConsoleRunner&) = delete;

    // Each piece read from the child (at most 255 bytes).
    virtual void OnChildOutput(const std::string& text);
    // The runner's own error messages; they land in the same buffer as the child's output.
    virtual void OnRunnerError(const std::string& text);
    // Stops the reader thread and releases every handle. The child is left running.
    virtual void Stop();

    // Empties the buffer and starts the command line. False when the child or the reader
    // could not be started; the buffer then holds "Redirect console error: %x\r\n", and
    // StartError says why.
    bool Start(const std::string& commandLine);
    // True until the child's process has ended and the reader has delivered its last output
    // and released every handle.
    bool IsRunning() const;
    // Formats printf-style and writes the text to the child's standard input in one write.
    // False when there is no child input or the child has gone away.
    bool WriteInput(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Closes the child's standard input, so a child that reads to its end sees the end.
    void CloseInput();
    // Ends the child and every process it started: asks them to stop, forces them after the
    // grace period, and returns once the runner has ended (or given up on the child).
    void EndChild(unsigned graceMilliseconds);

    // Everything the child wrote since the last Start, within a bounded size: a very long
    // output keeps its beginning and its end, with a line saying how much was left out.
    std::string GetAllOutput() const;
    std::string GetLastChunk() const;
    // The number of bytes received since the last Start, without copying them.
    unsigned long long GetAllOutputLength() const;
    // Whether the all-output buffer had to leave bytes out.
    bool IsOutputCut() const;
    // How the child ended; NotSeen while it runs, when it never started, when the runner
    // was stopped before it ended, or when the system could not tell (a wait that failed).
    SToolExit GetExit() const;

    // Why the last Start failed.
    const SSystemError& StartError() const { return m_startError; }

    // Waits until the runner has ended or the time-out has passed; true when it has ended.
    bool WaitForEnd(unsigned timeoutMilliseconds) const;
    // Waits until more than knownLength bytes have been received, the runner has ended, or the
    // time-out has passed; true when there is new output or the runner has ended.
    bool WaitForOutput(unsigned long long knownLength, unsigned timeoutMilliseconds) const;

private:
    struct Child;       // the platform's pipes and process watch
    struct ReaderLink;  // what the runner and its reader thread share

    enum class Wakeup { ChildEnded, StopRequested, OutputReady, TimedOut };
    enum class PipeRead { Piece, EmptyForNow, Closed, Failed };

    static void ReaderThreadProc(std::shared_ptr<ReaderLink> link);
    static void FollowChild(ReaderLink& link);
    static PipeRead DrainOutputPipe(ReaderLink& link);
    static bool HandOverPieces(ReaderLink& link, const std::string& block, std::string* piece);
    static bool CallRunner(ReaderLink& link, void (CConsoleRunner::*receiver)(const std::string&),
                           const std::string& text);
    static void ReleaseHandles(ReaderLink& link);

    int StartReader();
    void EndReader();
    void AbandonReader();
    void WaitOutAbandonedReader();
    void SetRunning(bool running);
    void SetExit(const SToolExit& exit);
    void Deliver(const std::string& text);

    // The platform part. Errors are the system's codes; 0 means success.
    static int LaunchChild(const std::string& commandLine, std::shared_ptr<Child>* child);
    // Waits for the child's end, a stop request or, while the output is open, new output.
    static Wakeup WaitForChildOrStop(Child& child, bool outputOpen, unsigned timeoutMilliseconds);
    // One read of whatever the pipe holds, up to a platform-sized block; the caller hands it
    // on in pieces of at most 255 bytes.
    static PipeRead ReadOutputBlock(Child& child, std::string* block);
    // How the child ended; called once WaitForChildOrStop has reported its end.
    static SToolExit ChildExit(Child& child);
    static void SignalStop(Child& child);
    static bool WriteToChild(Child& child, const std::string& text);
    static void CloseChildInput(Child& child);
    // Asks the child and everything it started to end, or forces them.
    static void TerminateChild(Child& child, bool force);

    // The link of the reader thread that is running the calling code, if any.
    static thread_local ReaderLink* s_threadLink;

    std::shared_ptr<ReaderLink> m_link;
    // A reader that ignored a stop request; it may still be inside a call into this runner.
    std::shared_ptr<ReaderLink> m_abandonedLink;
    std::thread m_readerThread;
    std::atomic<bool> m_running{false};
    unsigned m_waitInterval = 100;

    mutable std::mutex m_lock;
    // The end of the run wakes every waiter; new output only those waiting for output, so a
    // tool that prints a lot does not wake the caller for every piece.
    mutable std::condition_variable m_changed;
    mutable std::condition_variable m_outputArrived;
    mutable int m_outputWaiters = 0;
    COutputBuffer m_allOutput;
    // The last chunk is the end of the output; only its length is kept.
    std::string::size_type m_lastChunkBytes = 0;
    SToolExit m_exit;
    SSystemError m_startError;
};
