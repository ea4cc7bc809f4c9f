#include "processing/VideoProgress.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <utility>

#include "model/Text.h"

namespace {

const char kDurationKey[] = "Duration: ";
const std::string::size_type kDurationKeyLength = sizeof kDurationKey - 1;
const std::string::size_type kDurationWindow = 60;
const char kFrameKey[] = "frame=";
const std::string::size_type kFrameWindow = 20;

// The frame rate the command line asks of the transcoder with "-r 29.97".
const double kFramesPerSecond = 29.97;
const double kSecondsPerTick = 0.001;
const float kPercentCeiling = 100.0f;

// Like a C cast, but defined for every value: out-of-range values stop at the int limits.
int TruncateToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

CVideoProgress::CVideoProgress(std::string csAction, std::string csMpeg, int iPass)
    : m_action(std::move(csAction)), m_mpeg(std::move(csMpeg)), m_pass(iPass) {}

void CVideoProgress::ReadDuration(const std::string& newOutput) {
    if (m_durationSettled) return;
    if (m_durationFound) {
        m_pending.append(newOutput, 0, kDurationWindow - m_pending.size());
    } else if (!FindDurationKey(newOutput)) {
        return;
    }
    if (m_pending.size() > kDurationWindow) m_pending.resize(kDurationWindow);
    ReadDurationWindow();
}

// Until the key comes, m_pending holds only what may be the start of a key cut by the end of
// the output so far, so the new output is searched where it is, without being copied.
bool CVideoProgress::FindDurationKey(const std::string& newOutput) {
    const std::string::size_type carried = m_pending.size();
    // A key that begins in the carried text ends within the first bytes of the new output.
    m_pending.append(newOutput, 0, kDurationKeyLength - 1);
    std::string::size_type at = m_pending.find(kDurationKey);
    if (at != std::string::npos) {
        m_pending.resize(carried);
        m_pending.erase(0, at);
        m_pending += newOutput;
    } else if ((at = newOutput.find(kDurationKey)) != std::string::npos) {
        m_pending.assign(newOutput, at, std::string::npos);
    } else {
        // m_pending holds the carried text and all of a short new output.
        if (newOutput.size() >= kDurationKeyLength - 1)
            m_pending.assign(newOutput, newOutput.size() - (kDurationKeyLength - 1),
                             std::string::npos);
        else if (m_pending.size() >= kDurationKeyLength)
            m_pending.erase(0, m_pending.size() - (kDurationKeyLength - 1));
        return false;
    }
    m_durationFound = true;
    return true;
}

// The transcoder prints "Duration: 00:30:00.00, start: 0.000000, bitrate: ...". The text is
// read once its closing comma has arrived or the whole window is there; a window that is
// complete but does not read (such as "Duration: N/A") leaves the total unknown for good.
void CVideoProgress::ReadDurationWindow() {
    int hours = 0;
    int minutes = 0;
    float seconds = 0;
    float start = 0;
    int end = 0;
    const int fields = std::sscanf(m_pending.c_str(), "Duration: %d:%d:%f, start: %f,%n", &hours,
                                   &minutes, &seconds, &start, &end);
    const bool windowComplete = m_pending.size() == kDurationWindow;
    if (end > 0 || (fields == 4 && windowComplete)) {
        const double duration = (static_cast<double>(hours) * 60 + minutes) * 60 + seconds + start;
        m_totalFrames = TruncateToInt(duration * kFramesPerSecond);
        m_durationSettled = true;
    } else if (windowComplete) {
        m_durationSettled = true;
    }
    if (m_durationSettled) m_pending.clear();
}

bool CVideoProgress::ReadFrame(const std::string& lastChunk, long long clockMilliseconds,
                               std::string* statusText) {
    if (!HasTotalFrames()) return false;
    const std::string::size_type at = lastChunk.find(kFrameKey);
    if (at == std::string::npos) return false;
    int parsed = 0;
    const bool hasNumber =
        std::sscanf(lastChunk.substr(at, kFrameWindow).c_str(), "frame=%d", &parsed) == 1;
    // Without any frame number yet there is nothing to show.
    if (!hasNumber && m_updateCount == 0) return false;
    if (m_updateCount == 0) m_startClock = clockMilliseconds;
    ++m_updateCount;
    if (hasNumber) m_frame = parsed;
    *statusText = StatusText(clockMilliseconds);
    return true;
}

float CVideoProgress::Percentage() const {
    const double share = static_cast<double>(m_frame) / m_totalFrames * 100.0;
    return share > kPercentCeiling ? kPercentCeiling : static_cast<float>(share);
}

// The rate comes from the frames counted since the encoding began, the time from the first
// update on.
int CVideoProgress::SecondsLeft(long long clockMilliseconds) const {
    const double elapsed = static_cast<double>(clockMilliseconds - m_startClock);
    return TruncateToInt(elapsed * kSecondsPerTick / m_frame *
                         (static_cast<double>(m_totalFrames) - m_frame));
}

std::string CVideoProgress::StatusText(long long clockMilliseconds) const {
    std::string text = "Action: " + m_action + "\nSource: " + m_mpeg + "\n\nStatus: ";
    if (m_pass > 0) text += FormatText("Pass %d, ", m_pass);
    text += FormatText("%3.1f%% complete", Percentage());
    // From frame 0 no rate can be worked out yet.
    if (m_updateCount > 3 && m_frame != 0)
        text += "\nRemaining: " + FormatRemainingTime(SecondsLeft(clockMilliseconds));
    return text;
}

std::string CVideoProgress::FormatRemainingTime(int secondsLeft) {
    const int hours = secondsLeft / 3600 - 24 * (secondsLeft / 86400);
    const int minutes = secondsLeft / 60 - 60 * (secondsLeft / 3600);
    const int seconds = secondsLeft - 60 * (secondsLeft / 60);
    if (hours > 0) return FormatText("%02d:%02d:%02d", hours, minutes, seconds);
    if (minutes > 0) return FormatText("%02d:%02d", minutes, seconds);
    return FormatText("%d seconds", seconds);
}
