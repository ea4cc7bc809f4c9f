#pragma once

// Requests from outside to stop the program (on POSIX the signals SIGTERM, SIGINT and SIGHUP),
// watched while an unattended run works, so that the run can end its tool, clean up and say
// what happened instead of vanishing mid-way.
class CStopRequestWatch {
public:
    // Starts watching; a request that arrives from now on is only recorded.
    CStopRequestWatch();
    // Gives the requests back their previous handling.
    ~CStopRequestWatch();
    CStopRequestWatch(const CStopRequestWatch&) = delete;
    CStopRequestWatch& operator=(const CStopRequestWatch&) = delete;
};

// The number of the signal that asked the program to stop, or 0 while none has.
int StopRequestSignal();
