#pragma once

class CConsoleRunner;

// The stages look at a running tool once a second (to update the notification), but notice
// its end at once.
const unsigned kToolPollMilliseconds = 1000;

// Returns when the runner's tool has ended (at once when it never started).
void WaitForToolEnd(const CConsoleRunner& runner);
