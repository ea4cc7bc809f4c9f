#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

// A run's claim on the output file it is about to write, held while its conversion works.
// It tells what the run may later remove: only a file this run made, or one whose stamp
// changed while the claim was held. Two runs that would write the same output never hold the
// claim at once (on Linux a lock on the file, on Windows a named mutex of its path), so neither
// removes the other's work.
class COutputClaim {
public:
    enum class EState {
        Claimed,           // held; StampBefore tells what was there
        HeldByAnotherRun,  // another run is writing this output
        Unexamined,        // the file could not be opened: what was there is not known
    };

    // Takes the claim. A missing file is made, empty, so that it is known to be this run's.
    explicit COutputClaim(const std::string& path);
    ~COutputClaim();
    COutputClaim(const COutputClaim&) = delete;
    COutputClaim& operator=(const COutputClaim&) = delete;

    EState State() const { return m_state; }
    // The system's reason when the state is Unexamined.
    const std::string& Error() const { return m_error; }
    // Whether the claim made the file.
    bool MadeTheFile() const { return m_madeTheFile; }
    // What was there once the claim was taken (the empty file when the claim made it); no
    // regular file when it could not be examined.
    const SFileStamp& StampBefore() const { return m_before; }

private:
    EState m_state = EState::Unexamined;
    std::string m_error;
    bool m_madeTheFile = false;
    SFileStamp m_before;
    // The open file and, on Windows, the mutex: descriptors or handles.
    std::intptr_t m_file = -1;
    std::intptr_t m_mutex = 0;
};
