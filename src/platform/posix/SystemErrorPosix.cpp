#include "platform/SystemError.h"

#include <cstring>

SSystemError SystemError(int code) {
    return SSystemError{code, std::strerror(code)};
}
