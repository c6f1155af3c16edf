// The program folder.
#pragma once

#include <string>

// The folder of the running executable with a trailing '/', or the absolute form of the
// environment variable QUILLON_HOME when that is set (read-only installs, tests). Worked
// out once, at the first call, which start-up makes before any window or worker exists;
// the value never changes afterwards.
const std::string& ExePath();

// The executable's own path as the system reports it (/proc/self/exe, links resolved).
std::string ExecutablePath();

// True when QUILLON_HOME replaces the executable's folder.
bool HomeOverridden();
