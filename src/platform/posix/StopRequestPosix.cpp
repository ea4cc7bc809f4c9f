#include <signal.h>

#include <atomic>

#include "platform/StopRequest.h"

namespace {

const int kWatchedSignals[] = {SIGTERM, SIGINT, SIGHUP};
const int kWatchedCount = sizeof kWatchedSignals / sizeof kWatchedSignals[0];

std::atomic<int> g_requestSignal{0};
struct sigaction g_previous[kWatchedCount];

// Only records: everything else happens on the threads that look at the request.
void RecordRequest(int number) {
    int none = 0;
    g_requestSignal.compare_exchange_strong(none, number);
}

}  // namespace

CStopRequestWatch::CStopRequestWatch() {
    struct sigaction action {};
    action.sa_handler = RecordRequest;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < kWatchedCount; ++i) sigaction(kWatchedSignals[i], &action, &g_previous[i]);
}

CStopRequestWatch::~CStopRequestWatch() {
    for (int i = 0; i < kWatchedCount; ++i) sigaction(kWatchedSignals[i], &g_previous[i], nullptr);
}

int StopRequestSignal() {
    return g_requestSignal.load();
}
