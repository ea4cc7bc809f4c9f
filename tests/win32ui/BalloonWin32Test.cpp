#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/StatusNotifierWin32.h"

// The balloon against the real shell on a display: every call is accepted.

namespace {

struct SAnswer {
    DWORD message;
    BOOL accepted;
};

std::vector<SAnswer> g_answers;

BOOL CallShellAndRecord(DWORD message, NOTIFYICONDATAA* record) {
    const BOOL accepted = Shell_NotifyIconA(message, record);
    g_answers.push_back({message, accepted});
    return accepted;
}

}  // namespace

TEST(BalloonWin32Test, ShellAcceptsTheAddTheChangeAndTheRemoval) {
    g_answers.clear();
    {
        auto notifier = CreateShellStatusNotifier(CallShellAndRecord);
        notifier->Show("Action: News\nSource: C:\\rec\\show.mpg\n\nStatus: Stripping commercials");
        notifier->Show("Action: News\nSource: C:\\rec\\show.mpg\n\nStatus: Commercials stripped");
    }
    ASSERT_EQ(g_answers.size(), 3u);
    const DWORD messages[] = {NIM_ADD, NIM_MODIFY, NIM_DELETE};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(g_answers[i].message, messages[i]);
        EXPECT_TRUE(g_answers[i].accepted) << "call " << i;
    }
}
