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
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_lastChunk = text;
        m_allOutput += text;
    }
    m_changed.notify_all();
}

bool CConsoleRunner::Start(const std::string& commandLine) {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_lastChunk.clear();
        m_allOutput.clear();
    }
    Stop();
    WaitOutAbandonedReader();
    m_link = std::make_shared<ReaderLink>(this, m_waitInterval);
    int error = LaunchChild(commandLine, &m_link->child);
    if (error == 0) error = StartReader();
    if (error == 0) return true;
    OnRunnerError(FormatText("Redirect console error: %x\r\n", static_cast<unsigned>(error)));
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
}

void CConsoleRunner::ReaderThreadProc(std::shared_ptr<ReaderLink> link) {
    s_threadLink = link.get();
    if (DrainOutputPipe(*link) == PipeRead::EmptyForNow) {
        for (;;) {
            const Wakeup wakeup = WaitForChildOrStop(*link->child, link->waitInterval);
            if (wakeup == Wakeup::StopRequested) break;
            // After the child's end this collects what it left in the pipe.
            const PipeRead drained = DrainOutputPipe(*link);
            if (wakeup == Wakeup::ChildEnded || drained != PipeRead::EmptyForNow) break;
        }
    }
    {
        std::lock_guard<std::mutex> inCall(link->gate);
        if (!link->abandoned) {
            link->runner->Stop();
            return;
        }
    }
    ReleaseHandles(*link);
}

CConsoleRunner::PipeRead CConsoleRunner::DrainOutputPipe(ReaderLink& link) {
    for (;;) {
        std::string piece;
        const PipeRead outcome = ReadOutputPiece(*link.child, &piece);
        if (outcome != PipeRead::Piece) {
            if (outcome == PipeRead::Failed) {
                CallRunner(link, &CConsoleRunner::OnRunnerError, "Read stdout pipe error\r\n");
            }
            return outcome;
        }
        // A runner that no longer listens, or that was stopped by the receiver, ends the
        // reading as a closed pipe would.
        if (!CallRunner(link, &CConsoleRunner::OnChildOutput, piece)) return PipeRead::Closed;
    }
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

std::string CConsoleRunner::GetAllOutput() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_allOutput;
}

std::string CConsoleRunner::GetLastChunk() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_lastChunk;
}

size_t CConsoleRunner::GetAllOutputLength() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_allOutput.size();
}

bool CConsoleRunner::WaitForEnd(unsigned timeoutMilliseconds) const {
    std::unique_lock<std::mutex> hold(m_lock);
    return m_changed.wait_for(hold, std::chrono::milliseconds(timeoutMilliseconds),
                              [this] { return !m_running; });
}

bool CConsoleRunner::WaitForOutput(size_t knownLength, unsigned timeoutMilliseconds) const {
    std::unique_lock<std::mutex> hold(m_lock);
    return m_changed.wait_for(hold, std::chrono::milliseconds(timeoutMilliseconds),
                              [&] { return m_allOutput.size() > knownLength || !m_running; });
}
