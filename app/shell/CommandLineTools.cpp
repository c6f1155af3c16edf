// The table of command-line tools the program entry offers. A module adds its tool with
// one entry here (and links its library into `quillon`, app/CMakeLists.txt), e.g.
//     {"--check-rule", "FILE", 1, "compiles a rule and reports the result", &RunCheckRule},
#include "CommandLineTool.h"

const std::vector<CommandLineTool>& CommandLineTools() {
    static const std::vector<CommandLineTool> tools = {
    };
    return tools;
}
