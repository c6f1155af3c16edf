// Where bare file names of INI and log files live.
#pragma once

#include <string>
#include <string_view>

namespace tvgeneral {

// The program folder with a trailing '/': QUILLON_HOME when set and not empty, otherwise
// the folder of /proc/self/exe. Read at every call, so that it follows the environment.
std::string ProgramFolder();

// A name without '/' is a bare file name and is placed in the program folder; any other
// name (absolute or relative) is taken as it stands.
std::string ResolveFileName(std::string_view name);

}  // namespace tvgeneral
