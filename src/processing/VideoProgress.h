#pragma once

#include <string>

// How far a video conversion has come, worked out from the transcoder's console output: the
// source's duration gives the total of frames, the latest "frame=" the frames done so far.
// It is fed with output and clock readings, so it needs no running transcoder.
class CVideoProgress {
public:
    CVideoProgress(std::string csAction, std::string csMpeg, int iPass);

    // Duration phase: looks for the first "Duration: " in the output, given piece by piece as
    // it arrives. Each piece is looked at once, and only what a key cut by the end of a piece
    // needs is kept, however much output there is.
    void ReadDuration(const std::string& newOutput);
    // True while more output may still reveal the duration. False once it has been read, and
    // also when it turned out unreadable (such as "Duration: N/A").
    bool IsAwaitingDuration() const { return !m_durationSettled; }
    // The frame phase begins once the duration gave a total other than 0.
    bool HasTotalFrames() const { return m_totalFrames != 0; }
    int GetTotalFrames() const { return m_totalFrames; }

    // Frame phase: reads the first "frame=" in the latest piece of output. True, with the
    // notification's text, when the notification is to be updated.
    bool ReadFrame(const std::string& lastChunk, long long clockMilliseconds,
                   std::string* statusText);

    // "%02d:%02d:%02d", "%02d:%02d" or "%d seconds"; whole days are dropped from the hours.
    static std::string FormatRemainingTime(int secondsLeft);

private:
    bool FindDurationKey(const std::string& newOutput);
    void ReadDurationWindow();
    float Percentage() const;
    int SecondsLeft(long long clockMilliseconds) const;
    std::string StatusText(long long clockMilliseconds) const;

    std::string m_action;
    std::string m_mpeg;
    int m_pass;

    // Output not yet settled: a possible start of the key, or the text from the key on.
    std::string m_pending;
    bool m_durationFound = false;
    bool m_durationSettled = false;
    int m_totalFrames = 0;

    int m_updateCount = 0;
    int m_frame = 0;
    long long m_startClock = 0;
};
