#include "processing/ConsoleRunner.h"

#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <system_error>
#include <utility>
#include <vector>

#include "model/Text.h"

namespace {

// How long a stop request waits for the reader thread before giving up on it.
const unsigned kStopGraceMilliseconds = 5000;
// The largest piece handed to the receivers, whatever one read of the pipe brings.
const std::string::size_type kPieceBytes = 255;
// After output has been read, the reader lets more gather before it reads again, so a tool
// that writes many small lines costs a few large reads rather than one read a line. Nobody
// looks at the output more often than this.
const unsigned kGatherMilliseconds = 10;

std::string FormatArguments(const char* format, va_list arguments) {
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (length <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, arguments);
    return std::string(buffer.data(), static_cast<size_t>(length));
}

}  // namespace

struct CConsoleRunner::ReaderLink {
    ReaderLink(CConsoleRunner* owner, unsigned interval) : runner(owner), waitInterval(interval) {}

    CConsoleRunner* const runner;
    const unsigned waitInterval;
    std::shared_ptr<Child> child;
    // Orders the release of the handles against their use from the caller's thread.
    std::mutex handleLock;
    // Held while the reader thread calls into the runner, so the runner can wait out such a
    // call before it is started again or goes away.
    std::mutex gate;
    // The caller has given up on the reader thread, which must not call the runner again.
    std::atomic<bool> abandoned{false};
};

thread_local CConsoleRunner::ReaderLink* CConsoleRunner::s_threadLink = nullptr;

CConsoleRunner::CConsoleRunner() = default;

CConsoleRunner::~CConsoleRunner() {
    Stop();
    WaitOutAbandonedReader();
}

void CConsoleRunner::OnChildOutput(const std::string& text) {
    Deliver(text);
}

void CConsoleRunner::OnRunnerError(const std::string& text) {
    Deliver(text);
}

void CConsoleRunner::Deliver(const std::string& text) {
    bool awaited;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_allOutput.Append(text);
        m_lastChunkBytes = text.size();
        awaited = m_outputWaiters > 0;
    }
    if (awaited) m_outputArrived.notify_all();
}

bool CConsoleRunner::Start(const std::string& commandLine) {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_allOutput.Clear();
        m_lastChunkBytes = 0;
        m_exit = SToolExit();
    }
    Stop();
    WaitOutAbandonedReader();
    m_link = std::make_shared<ReaderLink>(this, m_waitInterval);
    int error = LaunchChild(commandLine, &m_link->child);
    if (error == 0) error = StartReader();
    if (error == 0) return true;
    // A tool that started but has no reader would run on unwatched, and outlive this run.
    if (m_link->child) TerminateChild(*m_link->child, true);
    OnRunnerError(FormatText("Redirect console error: %x\r\n", static_cast<unsigned>(error)));
    m_startError = SystemError(error);
    Stop();
    errno = error;
    return false;
}

int CConsoleRunner::StartReader() {
    SetRunning(true);
    try {
        m_readerThread = std::thread(&CConsoleRunner::ReaderThreadProc, m_link);
    } catch (const std::system_error& failure) {
        SetRunning(false);
        return failure.code().value();
    }
    return 0;
}

void CConsoleRunner::Stop() {
    ReaderLink* own = s_threadLink;
    if (own && own->runner == this) {
        // On the reader thread, on its way out or in a receiver: it cannot wait for itself,
        // and the caller's thread may be waiting for it.
        ReleaseHandles(*own);
    } else {
        if (m_readerThread.joinable()) EndReader();
        if (m_link) {
            ReleaseHandles(*m_link);
            m_link.reset();
        }
    }
    SetRunning(false);
}

void CConsoleRunner::EndReader() {
    {
        std::lock_guard<std::mutex> hold(m_link->handleLock);
        if (m_link->child) SignalStop(*m_link->child);
    }
    if (WaitForEnd(kStopGraceMilliseconds)) {
        m_readerThread.join();
    } else {
        AbandonReader();
    }
}

// A thread cannot be ended by force here. The reader keeps the pipes it reads and releases
// them itself when it gets out of whatever holds it; the runner lets go of it and closes the
// child's input, the one handle the reader does not use.
void CConsoleRunner::AbandonReader() {
    OnRunnerError("The redir thread is dead\r\n");
    m_link->abandoned = true;
    {
        std::lock_guard<std::mutex> hold(m_link->handleLock);
        if (m_link->child) CloseChildInput(*m_link->child);
    }
    m_readerThread.detach();
    WaitOutAbandonedReader();
    m_abandonedLink = std::move(m_link);
}

void CConsoleRunner::WaitOutAbandonedReader() {
    if (m_abandonedLink) {
        // Taking the gate waits for a call in progress; the flag keeps out any later one.
        std::lock_guard<std::mutex> callDone(m_abandonedLink->gate);
    }
    m_abandonedLink.reset();
}

void CConsoleRunner::ReleaseHandles(ReaderLink& link) {
    std::lock_guard<std::mutex> hold(link.handleLock);
    link.child.reset();
}

void CConsoleRunner::SetRunning(bool running) {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_running = running;
    }
    m_changed.notify_all();
    m_outputArrived.notify_all();
}

void CConsoleRunner::SetExit(const SToolExit& exit) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_exit = exit;
}

void CConsoleRunner::ReaderThreadProc(std::shared_ptr<ReaderLink> link) {
    s_threadLink = link.get();
    FollowChild(*link);
    {
        std::lock_guard<std::mutex> inCall(link->gate);
        if (!link->abandoned) {
            link->runner->Stop();
            return;
        }
    }
    ReleaseHandles(*link);
}

// A child that closes its output may still be working, on files the next step uses: the run
// ends with the child's process, and its exit is recorded. A child that ends while something
// it started still holds the pipe leaves only what is already in the pipe to be read.
void CConsoleRunner::FollowChild(ReaderLink& link) {
    PipeRead drained = DrainOutputPipe(link);
    if (drained == PipeRead::Failed || !link.child) return;
    bool outputOpen = drained == PipeRead::EmptyForNow;
    for (;;) {
        const Wakeup wakeup = WaitForChildOrStop(*link.child, outputOpen, link.waitInterval);
        if (wakeup == Wakeup::StopRequested) return;
        if (outputOpen) {
            drained = DrainOutputPipe(link);
            if (drained == PipeRead::Failed || !link.child) return;
            outputOpen = drained == PipeRead::EmptyForNow;
        }
        if (wakeup == Wakeup::ChildEnded) break;
        if (wakeup == Wakeup::OutputReady && outputOpen &&
            WaitForChildOrStop(*link.child, false, kGatherMilliseconds) == Wakeup::StopRequested)
            return;
    }
    const SToolExit exit = ChildExit(*link.child);
    std::lock_guard<std::mutex> inCall(link.gate);
    if (!link.abandoned) link.runner->SetExit(exit);
}

CConsoleRunner::PipeRead CConsoleRunner::DrainOutputPipe(ReaderLink& link) {
    std::string block, piece;
    for (;;) {
        const PipeRead outcome = ReadOutputBlock(*link.child, &block);
        if (outcome != PipeRead::Piece) {
            if (outcome == PipeRead::Failed) {
                // Its output can no longer be read, so the tool would block on a full pipe or
                // run on unwatched after the run has given up on it.
                TerminateChild(*link.child, true);
                CallRunner(link, &CConsoleRunner::OnRunnerError, "Read stdout pipe error\r\n");
            }
            return outcome;
        }
        // A runner that no longer listens, or that was stopped by the receiver, ends the
        // reading as a closed pipe would.
        if (!HandOverPieces(link, block, &piece)) return PipeRead::Closed;
    }
}

// One call into the runner for the whole block, handed on in pieces of at most 255 bytes.
bool CConsoleRunner::HandOverPieces(ReaderLink& link, const std::string& block,
                                    std::string* piece) {
    std::lock_guard<std::mutex> inCall(link.gate);
    for (std::string::size_type at = 0; at < block.size(); at += kPieceBytes) {
        if (link.abandoned) return false;
        piece->assign(block, at, kPieceBytes);
        link.runner->OnChildOutput(*piece);
        // The receiver may have stopped the runner from this thread and so released the pipes.
        if (!link.child) return false;
    }
    return true;
}

bool CConsoleRunner::CallRunner(ReaderLink& link,
                                void (CConsoleRunner::*receiver)(const std::string&),
                                const std::string& text) {
    std::lock_guard<std::mutex> inCall(link.gate);
    if (link.abandoned) return false;
    (link.runner->*receiver)(text);
    // The receiver may have stopped the runner from this thread and so released the pipes.
    return link.child != nullptr;
}

bool CConsoleRunner::IsRunning() const {
    return m_running;
}

bool CConsoleRunner::WriteInput(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const std::string text = FormatArguments(format, arguments);
    va_end(arguments);
    if (!m_link) return false;
    std::lock_guard<std::mutex> hold(m_link->handleLock);
    return m_link->child && WriteToChild(*m_link->child, text);
}

void CConsoleRunner::CloseInput() {
    if (!m_link) return;
    std::lock_guard<std::mutex> hold(m_link->handleLock);
    if (m_link->child) CloseChildInput(*m_link->child);
}

void CConsoleRunner::EndChild(unsigned graceMilliseconds) {
    for (const bool force : {false, true}) {
        if (!m_link || !IsRunning()) return;
        {
            std::lock_guard<std::mutex> hold(m_link->handleLock);
            if (m_link->child) TerminateChild(*m_link->child, force);
        }
        if (WaitForEnd(graceMilliseconds)) return;
    }
    Stop();
}

std::string CConsoleRunner::GetAllOutput() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_allOutput.Text();
}

std::string CConsoleRunner::GetLastChunk() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_allOutput.LastBytes(m_lastChunkBytes);
}

unsigned long long CConsoleRunner::GetAllOutputLength() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_allOutput.TotalBytes();
}

bool CConsoleRunner::IsOutputCut() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_allOutput.IsCut();
}

SToolExit CConsoleRunner::GetExit() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_exit;
}

bool CConsoleRunner::WaitForEnd(unsigned timeoutMilliseconds) const {
    std::unique_lock<std::mutex> hold(m_lock);
    return m_changed.wait_for(hold, std::chrono::milliseconds(timeoutMilliseconds),
                              [this] { return !m_running; });
}

bool CConsoleRunner::WaitForOutput(unsigned long long knownLength,
                                   unsigned timeoutMilliseconds) const {
    std::unique_lock<std::mutex> hold(m_lock);
    ++m_outputWaiters;
    const bool changed = m_outputArrived.wait_for(
        hold, std::chrono::milliseconds(timeoutMilliseconds),
        [&] { return m_allOutput.TotalBytes() > knownLength || !m_running; });
    --m_outputWaiters;
    return changed;
}
