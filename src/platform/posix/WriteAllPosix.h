#pragma once

#include <functional>
#include <string>

// Writes every byte to the descriptor, however the system splits the writes. A descriptor that
// would block (one made non-blocking, here or by whoever shares it) is waited on until it takes
// more. While it waits, stillWanted (when given) is asked a few times a second; once it says
// no, the write gives up with ECANCELED. False, with errno telling why, when not all was
// written.
bool WriteAll(int fd, const std::string& bytes, const std::function<bool()>& stillWanted = nullptr);
