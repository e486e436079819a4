// The platform layer the tests run on, whichever it is.
#pragma once

#ifdef _WIN32
#include "platform/windows/native_file_system.h"
#else
#include "platform/posix/native_file_system.h"
#endif
