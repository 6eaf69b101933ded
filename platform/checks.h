#pragma once
// Checks of the program's own rules, the kind that only a programming mistake
// breaks (a writer called outside a transaction). They stop the process with
// a message in debug builds and wherever RALVEK_STRICT_CHECKS=1 is set (the
// test suite sets it for every test); the shipped program skips them.

#include <QtGlobal>

namespace platform {

inline bool strictChecks() {
#ifndef NDEBUG
    return true;
#else
    static const bool on = qEnvironmentVariableIntValue("RALVEK_STRICT_CHECKS") != 0;
    return on;
#endif
}

}  // namespace platform
