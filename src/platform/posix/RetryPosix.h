#pragma once

#include <errno.h>

// A file call that a signal interrupted before it did anything is made again, so a signal that
// the program handles never reads as a failure of the file. The call returns -1 on failure.
template <typename Call>
auto RetryInterrupted(Call call) -> decltype(call()) {
    for (;;) {
        const auto result = call();
        if (result != -1 || errno != EINTR) return result;
    }
}
