#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/StatusNotifierWin32.h"

// The balloon: what is handed to Shell_NotifyIconA, recorded by a stand-in for the call.

namespace {

struct SCall {
    DWORD message;
    NOTIFYICONDATAA record;
};

std::vector<SCall> g_calls;

BOOL RecordCall(DWORD message, NOTIFYICONDATAA* record) {
    g_calls.push_back({message, *record});
    return TRUE;
}

}  // namespace

class StatusNotifierWin32Test : public ::testing::Test {
protected:
    void SetUp() override { g_calls.clear(); }
    std::unique_ptr<CStatusNotifier> notifier = CreateShellStatusNotifier(RecordCall);
};

TEST_F(StatusNotifierWin32Test, FirstTextAddsTheIconWithTheBalloonFields) {
    notifier->Show("Action: News\nSource: C:\\rec\\show.mpg\n\nStatus: Stripping commercials");
    ASSERT_EQ(g_calls.size(), 1u);
    const NOTIFYICONDATAA& record = g_calls[0].record;
    EXPECT_EQ(g_calls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(record.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));
    EXPECT_EQ(record.uID, 0u);
    EXPECT_EQ(record.uFlags, 18u);
    EXPECT_NE(record.hIcon, nullptr);
    EXPECT_EQ(record.uCallbackMessage, 0u);
    EXPECT_STREQ(record.szTip, "");
    EXPECT_EQ(record.uTimeout, 1000u);
    EXPECT_EQ(record.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));
    EXPECT_STREQ(record.szInfoTitle, "PELKAR");
    EXPECT_STREQ(record.szInfo,
                 "Action: News\nSource: C:\\rec\\show.mpg\n\nStatus: Stripping commercials");
}

TEST_F(StatusNotifierWin32Test, LaterTextsReplaceTheBalloonAndRemoveDeletesTheIconOnce) {
    notifier->Show("one");
    notifier->Show("two");
    notifier->Remove();
    notifier->Remove();
    ASSERT_EQ(g_calls.size(), 3u);
    EXPECT_EQ(g_calls[1].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_STREQ(g_calls[1].record.szInfo, "two");
    EXPECT_EQ(g_calls[2].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(g_calls[2].record.hWnd, g_calls[0].record.hWnd);
}

TEST_F(StatusNotifierWin32Test, NoTextMeansNoIconToRemove) {
    notifier->Remove();
    notifier.reset();
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(StatusNotifierWin32Test, TextOf255CharactersIsShownWholeAndLongerOnesAreCut) {
    notifier->Show(std::string(255, 'x'));
    notifier->Show(std::string(300, 'y'));
    EXPECT_EQ(std::string(g_calls[0].record.szInfo), std::string(255, 'x'));
    EXPECT_EQ(std::string(g_calls[1].record.szInfo), std::string(255, 'y'));
}

TEST_F(StatusNotifierWin32Test, EndingTheNotifierRemovesTheIcon) {
    notifier->Show("text");
    notifier.reset();
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[1].message, static_cast<DWORD>(NIM_DELETE));
}
