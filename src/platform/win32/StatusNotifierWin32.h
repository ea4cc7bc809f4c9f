#pragma once

#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <memory>

#include "platform/StatusNotifier.h"

// The call that adds, changes and removes the notification-area icon: Shell_NotifyIconA, or a
// stand-in that records what it is given.
using NotifyIconCall = BOOL (*)(DWORD message, NOTIFYICONDATAA* data);

// The balloon notifier over the given call.
std::unique_ptr<CStatusNotifier> CreateShellStatusNotifier(NotifyIconCall call);
