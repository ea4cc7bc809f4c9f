#pragma once

#include <string>

// The system's own wording of an error code, without the line end it comes with.
std::string SystemErrorText(unsigned long errorCode);
