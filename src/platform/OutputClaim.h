#pragma once

#include <cstdint>
#include <string>

#include "platform/Files.h"

// A run's claim on the output file it is about to write, held while its conversion works.
// It tells what the run may later remove: only a file that was not there when the claim was
// taken, or one whose stamp changed while the claim was held. Two runs that would write the
// same output never hold the claim at once (a name of the normalised path that the system
// gives to one process at a time and takes back when it ends, however it ends: on Linux an
// abstract socket address, on Windows a named mutex), so neither removes the other's work.
// No file is made for the claim.
class COutputClaim {
public:
    enum class EState {
        Claimed,           // held; StampBefore tells what was there
        HeldByAnotherRun,  // another run is writing this output
        Unexamined,        // what was there is not known for sure
    };

    explicit COutputClaim(const std::string& path);
    ~COutputClaim();
    COutputClaim(const COutputClaim&) = delete;
    COutputClaim& operator=(const COutputClaim&) = delete;

    EState State() const { return m_state; }
    // The system's reason when the state is Unexamined.
    const std::string& Error() const { return m_error; }
    // Whether nothing was there when the claim was taken, told by two looks that agree, so
    // that one failed look never makes an earlier file this run's.
    bool WasAbsent() const { return m_wasAbsent; }
    // The regular file that was there when the claim was taken; none when there was none or
    // when it could not be examined.
    const SFileStamp& StampBefore() const { return m_before; }

private:
    EState m_state = EState::Unexamined;
    std::string m_error;
    bool m_wasAbsent = false;
    SFileStamp m_before;
    // The name held: a socket's descriptor or a mutex's handle.
    std::intptr_t m_name = -1;
};

// Sixteen hex digits that stand for the normalised path in the name of its claim: the same in
// every run and every process.
std::string OutputClaimKey(const std::string& path);
