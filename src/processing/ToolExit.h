#pragma once

#include <string>

// How a tool's process ended.
struct SToolExit {
    enum class EKind {
        NotSeen,    // never started, or not seen to end (the runner was stopped first, or the
                    // wait for it failed): a failure
        Exited,     // ended by itself with an exit status
        Signalled,  // ended by a signal
    };

    EKind kind = EKind::NotSeen;
    // The exit status, or the signal's number.
    int code = 0;

    bool Succeeded() const { return kind == EKind::Exited && code == 0; }
    // "exited with status 1", "was ended by signal 9", "was not seen to end".
    std::string Describe() const;
};
